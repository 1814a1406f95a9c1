#pragma once

#include <array>
#include <cstddef>

#include "common/bytes.h"

namespace velmora {

// The twelve lines of the help panel, in 1251 bytes; line 1 is the title.
inline constexpr std::size_t kHelpTextLines = 12;
using HelpPanelText = std::array<Bytes, kHelpTextLines>;

// The introduction shown at start-up.
const HelpPanelText& OutHelpHelp();

// The topics of the controls the mouse rests on, numbered 0..12 in this
// order: BTConnect, BTRescan, AutoConnect, TimeOutAns, FiltrLog, RBManual,
// RBSel, RBAfterAns, RBPeriod, SendAsReconn, MainStrCmd, AddStrCmd, CiklSend.
inline constexpr int kHelpTopicCount = 13;
enum class HelpTopic {
  Connect,
  Rescan,
  AutoConnect,
  TimeRX,
  Filtr,
  ModeManual,
  ModeSel,
  ModeAfterAns,
  ModePeriod,
  ForConnect,
  Consol,
  AddConsol,
  CiklSend,
};

const HelpPanelText& HelpTopicText(HelpTopic topic);
// The title (line 1) of a topic.
const Bytes& HelpTopicTitle(HelpTopic topic);

const HelpPanelText& OutHelpConnect();
const HelpPanelText& OutHelpRescan();
const HelpPanelText& OutHelpAutoConnect();
const HelpPanelText& OutHelpTimeRX();
const HelpPanelText& OutHelpFiltr();
const HelpPanelText& OutHelpModeManual();
const HelpPanelText& OutHelpModeSel();
const HelpPanelText& OutHelpModeAfterAns();
const HelpPanelText& OutHelpModePeriod();
const HelpPanelText& OutHelpForConnect();
const HelpPanelText& OutHelpConsol();
const HelpPanelText& OutHelpAddConsol();
const HelpPanelText& OutHelpCiklSend();

}  // namespace velmora
