#pragma once

#include "app/cfg_record.h"
#include "ui/log_look.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

namespace velmora {
class Receiver;
}

namespace velmora::ui {

class Console;
class LimitedEdit;
class MacroPanel;
class ReceiveView;
class SendAutomation;

// Port names of this platform may be longer than the four characters the
// settings record keeps: short names ("USB0") fit, paths ("/dev/rfcomm0",
// a pseudo-terminal's link) and "USB10" do not. Set by the build.
inline constexpr bool kPortNamesArePaths = VELMORA_PORT_NAMES_ARE_PATHS != 0;

// The controls whose values the settings record keeps.
struct SettingsControls {
  QComboBox* ComPort;
  QComboBox* BaudRate;
  QComboBox* ComBits;
  QComboBox* ComStopBits;
  QCheckBox* AutoConnect;
  LimitedEdit* FiltrLog;
  QCheckBox* VisTime;
  // InputMode 1..4 in this order.
  QRadioButton* RBManual;
  QRadioButton* RBSel;
  QRadioButton* RBAfterAns;
  QRadioButton* RBPeriod;
  QRadioButton* RBASCII;
  QRadioButton* RBHEX;
  QRadioButton* RBName;
  QRadioButton* RbData;
  LimitedEdit* PeriodTX;
  QCheckBox* SendAsReconn;
  LimitedEdit* MainStrCmd;
  LimitedEdit* AddStrCmd;
  // Painted in the stored colours and font size.
  LogLookControls look;
};

// What the settings record is restored into and filled from.
struct SettingsParts {
  SettingsControls controls;
  Receiver& receiver;
  Console& console;
  MacroPanel& macros;
  ReceiveView& receiveView;
  LogLook& look;
  SendAutomation& automation;
};

// Whether the stored port name replaces the port the start-up scan chose. A
// name cut to four characters ("/dev" of a path, "USB1" of "USB10") could
// name another adapter where names are that long, so it is dropped there;
// elsewhere it comes back cut, as "COM1" of "COM12".
bool RestoresPortName(const CfgRecord& cfg, bool portNamesArePaths);

// Start-up: every field into its control, in the order the user's own
// actions would set them. A radio button that becomes selected runs its
// click handler; one already selected does not. The handlers run before the
// texts of PeriodTX, MainStrCmd and AddStrCmd are restored, so the stored
// texts remain. A font size outside 2..100 is not applied.
void ApplyCfgRecord(const CfgRecord& cfg, const SettingsParts& parts);

// Shut-down: the controls and the shared state into the record. Only the
// fields are written; text tails and padding keep what the file left.
void FillCfgRecord(CfgRecord& cfg, const SettingsParts& parts);

}  // namespace velmora::ui
