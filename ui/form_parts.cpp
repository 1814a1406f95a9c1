#include "ui/form_parts.h"

#include "ui/main_form.h"
#include "ui/widgets/double_click_combo_box.h"

namespace velmora::ui {

PortBarControls PortBarControlsOf(MainForm& f) {
  return {f.BTConnect, f.BTRescan, f.ComPort, f.BaudRate, f.ComBits, f.ComStopBits, f.AutoConnect};
}

ConsoleControls ConsoleControlsOf(MainForm& f) { return {f.MainStrCmd, f.AddStrCmd, f.ButtonSend}; }

ReceiveViewControls ReceiveViewControlsOf(MainForm& f) {
  return {f.TimeOutRx, f.TimeOutAns, f.FiltrLog, f.RBASCII, f.RBHEX, f.VisTime, f.BTClrStat};
}

LogSinkControls LogSinkControlsOf(MainForm& f) {
  return {f.MainWindow, f.StaticText3, f.LSend, f.LRead, f.MinTimeWait, f.MaxTimeWait};
}

HistoryListsControls HistoryListsControlsOf(MainForm& f) {
  return {f.FastOldCmd, f.LBTail, f.OldCmdList, f.Str1, f.Str2, f.OldCommandsBT};
}

MacroPanelControls MacroPanelControlsOf(MainForm& f) {
  return {f.RBName,  f.RbData,      f.EditAllCmd, f.SaveF,      f.DelList,
          f.ListInc, f.ListDec,     f.CBLists,    f.STListName, f.ListNameEDT,
          f.STLog,   f.StaticText1, f.Button,     f.Edit,       f.Hover};
}

HelpPanelControls HelpPanelControlsOf(MainForm& f) { return {f.STH}; }

SendAutomationControls SendAutomationControlsOf(MainForm& f) {
  return {f.RBManual,   f.RBSel,     f.RBAfterAns,     f.RBPeriod,     f.PeriodTX,   f.SendAsReconn,
          f.CiklSend,   f.SendStart, f.ButtonReadFile, f.OldCmdList,   f.STListName, f.CBLists,
          f.EditAllCmd, f.RBName,    f.RbData,         f.OldCommandsBT};
}

HousekeepingControls HousekeepingControlsOf(MainForm& f) {
  // The window adds the cyclic TimerPeriod rule, the clock, the wake-up, the
  // port watch and the help countdowns.
  return {f.MainStrCmd, f.FastOldCmd, f.MainWindow, {}, f.TextTime, nullptr, {}, {}, nullptr};
}

LogLookControls LogLookControlsOf(MainForm& f) {
  return {f.MainStrCmd, f.FastOldCmd, f.AddStrCmd,   f.OldCmdList,
          f.LBTail,     f.MainWindow, f.SecondWindow};
}

LogButtonsControls LogButtonsControlsOf(MainForm& f) {
  return {f.BTLog, f.StartLog,  f.StartStop, f.BTPalitra,
          f.Srift, f.SriftText, f.STLog,     LogLookControlsOf(f)};
}

SettingsControls SettingsControlsOf(MainForm& f) {
  return {f.ComPort,  f.BaudRate,     f.ComBits,    f.ComStopBits, f.AutoConnect,
          f.FiltrLog, f.VisTime,      f.RBManual,   f.RBSel,       f.RBAfterAns,
          f.RBPeriod, f.RBASCII,      f.RBHEX,      f.RBName,      f.RbData,
          f.PeriodTX, f.SendAsReconn, f.MainStrCmd, f.AddStrCmd,   LogLookControlsOf(f)};
}

}  // namespace velmora::ui
