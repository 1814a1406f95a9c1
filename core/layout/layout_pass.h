#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace velmora {

// The controls whose left edge or width the layout pass sets. Every position
// is relative to the control's parent: the regions to the client area, the
// top-bar controls to Panel1, PStats to LogPanel, the rest to MainPanel.
enum class Placed : std::size_t {
  Panel1,
  LogPanel,
  MainPanel,
  MainWindow,
  SecondWindow,
  STLog,
  FiltrLog,
  MainStrCmd,
  STListName,
  ListNameEDT,
  CBLists,
  StaticText3,
  SriftText,
  SendStart,
  LPlus,
  SaveF,
  Str1,
  Str2,
  Srift,
  StartStop,
  StartLog,
  BTLog,
  AddStrCmd,
  BTPalitra,
  ListInc,
  ListDec,
  DelList,
  EditAllCmd,
  OldCommandsBT,
  ButtonReadFile,
  ButtonSend,
  RBName,
  RbData,
  BtInfo,
  FastOldCmd,
  OldCmdList,
  LBTail,
  StaticText1,
  PStats,
  Count
};

inline constexpr std::size_t kPlacedCount = static_cast<std::size_t>(Placed::Count);
inline constexpr int kMacroSlots = 48;
inline constexpr int kHelpLineCount = 12;

// The client area at design size, in pixels.
inline constexpr int kDesignClientWidth = 943;
inline constexpr int kDesignClientHeight = 749;

// Horizontal placement in pixels. Widths are not clamped: a window much
// narrower than at design gives negative widths, which the window shows as
// nothing.
struct Span {
  int left = 0;
  int width = 0;
  int Right() const { return left + width; }
  friend bool operator==(const Span&, const Span&) = default;
};

struct HorizontalLayout {
  std::array<Span, kPlacedCount> placed{};
  std::array<Span, kMacroSlots> buttons{};  // Button1..Button48
  std::array<Span, kMacroSlots> edits{};    // Edit1..Edit48
  std::array<Span, kHelpLineCount> helpLines{};

  Span& operator[](Placed control) { return placed[static_cast<std::size_t>(control)]; }
  const Span& operator[](Placed control) const { return placed[static_cast<std::size_t>(control)]; }
};

// The horizontal geometry the window is built with.
const HorizontalLayout& DesignLayout();

// The window's width now minus its width at start-up; negative when narrower.
inline int WidthDelta(int width, int designWidth) { return width - designWidth; }
// A seventh of the delta, cut toward zero: -10 gives -1.
inline int ColumnStep(int widthDelta) { return widthDelta / 7; }

struct LayoutRequest {
  int widthDelta = 0;
  bool filePanelShown = false;
  // The console line's width before this pass: the history drop-down takes
  // it, and the housekeeping tick catches up with the new width afterwards.
  int consoleWidthBefore = 641;
};

// One layout pass. It starts from the design values, so its result depends
// only on the request.
HorizontalLayout LayoutPass(const LayoutRequest& request);

// Vertical rules, in client coordinates: the log windows take all extra
// height, the two lower panels keep their distance to the bottom edge.
struct VerticalLayout {
  int logTop = 28;
  int logHeight = 373;
  int logPanelTop = 404;
  int mainPanelTop = 450;
  friend bool operator==(const VerticalLayout&, const VerticalLayout&) = default;
};

VerticalLayout DesignVerticalLayout();
VerticalLayout VerticalPass(int clientHeight);

// What the window applies: the pass with every width (and the log's height)
// below zero made 0, so that a window much narrower or lower than at design
// shows those controls as nothing and keeps answering.
struct WindowLayout {
  HorizontalLayout horizontal;
  VerticalLayout vertical;
};
HorizontalLayout ClampedToZero(HorizontalLayout layout);
VerticalLayout ClampedToZero(VerticalLayout layout);

// STListName's placement for a width delta and the file view: the file view
// gives it the room up to the file buttons, the list view the width of the
// list box. Both are set whenever either value changes, so leaving the file
// view gives the label its list-view width back.
Span ListNameSpan(int widthDelta, bool filePanelShown);

// When the window lays itself out. Until the client area first takes a size
// other than the one it was built with, the controls keep their design
// geometry and no pass runs (showing the window is no change of size). From
// then on every change of size runs one pass for the new size; a repeated
// report of the same size runs none.
class WindowLayoutState {
 public:
  explicit WindowLayoutState(int designClientWidth = kDesignClientWidth,
                             int designClientHeight = kDesignClientHeight);

  // The client area now has this size. `consoleWidthBefore` is MainStrCmd's
  // width now (the history drop-down keeps it until the next tick). Returns
  // the layout to apply, or nothing when no pass runs.
  std::optional<WindowLayout> Resized(int clientWidth, int clientHeight, int consoleWidthBefore);

  // FilePanelShown changed (or was set again): STListName's placement to
  // apply now, for the width the window has.
  Span SetFilePanelShown(bool shown);

  int WidthDelta() const { return width_ - designWidth_; }
  bool FilePanelShown() const { return filePanelShown_; }
  bool PassHasRun() const { return passHasRun_; }

 private:
  int designWidth_;
  int width_;
  int height_;
  bool filePanelShown_ = false;
  bool passHasRun_ = false;
};

}  // namespace velmora
