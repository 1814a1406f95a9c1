#pragma once

#include <cstdint>

#include "app/cfg_record.h"
#include "ui/colors.h"

class QListWidget;

namespace velmora::ui {

class LimitedEdit;
class LogWindow;

// The controls the log's look paints.
struct LogLookControls {
  LimitedEdit* MainStrCmd;
  QListWidget* FastOldCmd;
  LimitedEdit* AddStrCmd;
  QListWidget* OldCmdList;
  QListWidget* LBTail;
  LogWindow* MainWindow;
  LogWindow* SecondWindow;
};

// The colours and the font size of the log window and of the edits and
// lists around the console. The colours are kept as the settings file
// stores them (0x00BBGGRR, or 0xFF0000nn for a system colour) and turned
// into Qt colours only to paint the controls.
struct LogLook {
  std::uint32_t color = kSysButtonFace;        // background
  std::uint32_t fontColor = kSysWindowText;    // text
  std::int32_t fontSize = kDesignLogFontSize;  // points
};

// Backgrounds first, then text colours, of MainStrCmd, FastOldCmd,
// AddStrCmd, OldCmdList, LBTail and MainWindow.
void PaintLogControls(const LogLookControls& controls, const LogLook& look);

// The font size of MainWindow and of its frozen copy SecondWindow.
void ApplyLogFontSize(const LogLookControls& controls, std::int32_t points);

}  // namespace velmora::ui
