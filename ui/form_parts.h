#pragma once

#include "ui/console.h"
#include "ui/help_panel.h"
#include "ui/history_lists.h"
#include "ui/housekeeping.h"
#include "ui/log_buttons.h"
#include "ui/log_look.h"
#include "ui/log_sink.h"
#include "ui/macro_panel.h"
#include "ui/port_bar.h"
#include "ui/receive_view.h"
#include "ui/send_automation.h"
#include "ui/settings_io.h"

namespace velmora::ui {

class MainForm;

// Which control of the form belongs to which part: each part is handed only
// these.
PortBarControls PortBarControlsOf(MainForm& form);
ConsoleControls ConsoleControlsOf(MainForm& form);
ReceiveViewControls ReceiveViewControlsOf(MainForm& form);
LogSinkControls LogSinkControlsOf(MainForm& form);
HistoryListsControls HistoryListsControlsOf(MainForm& form);
MacroPanelControls MacroPanelControlsOf(MainForm& form);
HelpPanelControls HelpPanelControlsOf(MainForm& form);
SendAutomationControls SendAutomationControlsOf(MainForm& form);
HousekeepingControls HousekeepingControlsOf(MainForm& form);
LogLookControls LogLookControlsOf(MainForm& form);
LogButtonsControls LogButtonsControlsOf(MainForm& form);
SettingsControls SettingsControlsOf(MainForm& form);

}  // namespace velmora::ui
