#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "common/bytes.h"
#include "common/color_value.h"

namespace velmora {

// The frozen view of a pause (SecondWindow).
inline constexpr char kStopLine[] = ">>>>>>>>>> STOP <<<<<<<<<<";

// The entries the frozen view shows: a copy of the log window's entries, then
// one empty entry and the STOP line. An empty log gives exactly the empty
// entry and the STOP line.
std::vector<Bytes> FrozenViewEntries(const std::vector<Bytes>& logEntries);
// The same as one text, the entries joined by CR LF:
// "a\r\nb\r\n\r\n>>>>>>>>>> STOP <<<<<<<<<<"; an empty log gives
// "\r\n>>>>>>>>>> STOP <<<<<<<<<<".
Bytes FrozenViewText(const std::vector<Bytes>& logEntries);

// The colours of MainStrCmd, FastOldCmd, AddStrCmd, OldCmdList, LBTail and
// MainWindow, as the settings file keeps them.
struct LogColors {
  std::uint32_t background = kSysButtonFace;
  std::uint32_t text = kSysWindowText;

  friend constexpr bool operator==(const LogColors&, const LogColors&) = default;
};

// The "Colors" button: each click moves one step on and gives the colours of
// the new step. The step is not saved, so every run starts at step 0 and the
// first click gives step 1 whatever colours the settings restored.
class ColorCycle {
 public:
  static constexpr int kSteps = 6;
  // Indexed by the step a click arrives at.
  static constexpr std::array<LogColors, kSteps> kColors = {{
      {kSysWindow, kSysWindowText},          // 0
      {kSysInactiveBorder, kSysWindowText},  // 1
      {kSysMenuBar, kSysWindowText},         // 2
      {kAqua, kSysWindowText},               // 3
      {kBlack, kLime},                       // 4
      {kRed, kBlue},                         // 5
  }};

  // The tag of BTPalitra, 0..5.
  int Step() const { return step_; }
  LogColors BTPalitraClick();

 private:
  int step_ = 0;
};

// The font-size arrows: up adds 1 below 100, down takes 1 above 2; the value
// is applied to both log windows even when it did not change.
std::int32_t StepLogFontSize(std::int32_t points, bool up);

// Points to pixels as Windows maps them at 96 dots per inch, rounded to the
// nearest pixel: 8 pt -> 11 px, 10 -> 13, 100 -> 133.
int PointsToPixels(int points);

}  // namespace velmora
