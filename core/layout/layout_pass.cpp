#include "layout/layout_pass.h"

namespace velmora {
namespace {

constexpr int kColumnCount = 6;
constexpr int kRowsPerColumn = 8;

int ColumnOf(int slot) { return slot / kRowsPerColumn; }  // slot counts from 0

HorizontalLayout MakeDesign() {
  HorizontalLayout d;
  for (Placed region : {Placed::Panel1, Placed::LogPanel, Placed::MainPanel, Placed::MainWindow,
                        Placed::SecondWindow}) {
    d[region] = {4, 937};
  }
  // Top bar, relative to Panel1.
  d[Placed::FiltrLog] = {521, 57};
  d[Placed::Srift] = {584, 17};
  d[Placed::SriftText] = {604, 29};
  d[Placed::BTLog] = {636, 57};
  d[Placed::StartLog] = {696, 57};
  d[Placed::StartStop] = {756, 57};
  d[Placed::BTPalitra] = {816, 57};
  d[Placed::BtInfo] = {876, 57};
  // The statistics panel, held against the right edge of LogPanel.
  d[Placed::PStats] = {731, 203};
  // Command area, relative to MainPanel.
  d[Placed::MainStrCmd] = {8, 641};
  d[Placed::FastOldCmd] = {8, 641};
  d[Placed::Str1] = {636, 12};
  d[Placed::LPlus] = {652, 14};
  d[Placed::AddStrCmd] = {668, 261};
  d[Placed::LBTail] = {668, 261};
  d[Placed::Str2] = {916, 12};
  d[Placed::CBLists] = {8, 289};
  d[Placed::STListName] = {8, 289};
  d[Placed::ListNameEDT] = {8, 289};
  d[Placed::EditAllCmd] = {302, 83};
  d[Placed::SaveF] = {388, 89};
  d[Placed::DelList] = {388, 89};
  d[Placed::OldCommandsBT] = {480, 81};
  d[Placed::ListDec] = {480, 81};
  d[Placed::ButtonReadFile] = {564, 81};
  d[Placed::ListInc] = {564, 81};
  d[Placed::RBName] = {668, 130};
  d[Placed::RbData] = {668, 130};
  d[Placed::SendStart] = {668, 129};
  d[Placed::ButtonSend] = {800, 129};
  d[Placed::OldCmdList] = {8, 921};
  d[Placed::STLog] = {8, 641};
  d[Placed::StaticText1] = {8, 641};
  d[Placed::StaticText3] = {668, 261};

  for (int slot = 0; slot < kMacroSlots; ++slot) {
    const int column = ColumnOf(slot);
    const Span span{8 + 88 * column, column == kColumnCount - 1 ? 201 : 89};
    d.buttons[static_cast<std::size_t>(slot)] = span;
    d.edits[static_cast<std::size_t>(slot)] = span;
  }
  for (Span& line : d.helpLines) line = {668, 261};
  return d;
}

}  // namespace

const HorizontalLayout& DesignLayout() {
  static const HorizontalLayout design = MakeDesign();
  return design;
}

HorizontalLayout LayoutPass(const LayoutRequest& request) {
  const HorizontalLayout& design = DesignLayout();
  HorizontalLayout out = design;
  const int delta = request.widthDelta;
  const int step = ColumnStep(delta);

  for (Placed stretched :
       {Placed::STLog, Placed::FiltrLog, Placed::Panel1, Placed::LogPanel, Placed::MainPanel,
        Placed::MainWindow, Placed::SecondWindow, Placed::MainStrCmd, Placed::STListName,
        Placed::ListNameEDT, Placed::CBLists}) {
    out[stretched].width = design[stretched].width + delta;
  }
  out[Placed::StaticText3].width = 261;

  for (Placed moved :
       {Placed::SriftText,     Placed::SendStart,      Placed::LPlus,      Placed::SaveF,
        Placed::Str1,          Placed::Str2,           Placed::Srift,      Placed::StartStop,
        Placed::StartLog,      Placed::BTLog,          Placed::AddStrCmd,  Placed::BTPalitra,
        Placed::ListInc,       Placed::ListDec,        Placed::DelList,    Placed::EditAllCmd,
        Placed::OldCommandsBT, Placed::ButtonReadFile, Placed::ButtonSend, Placed::RBName,
        Placed::RbData,        Placed::BtInfo,         Placed::PStats}) {
    out[moved].left = design[moved].left + delta;
  }

  out[Placed::FastOldCmd].width = request.consoleWidthBefore;
  out[Placed::OldCmdList] = {out[Placed::MainWindow].left, out[Placed::AddStrCmd].Right()};
  out[Placed::LBTail].left = out[Placed::AddStrCmd].left;
  if (request.filePanelShown) {
    // Adds a left edge to a left edge, as the file view always has.
    out[Placed::STListName].width =
        out[Placed::STListName].left + out[Placed::ButtonReadFile].left - 20;
  }
  for (std::size_t i = 0; i < out.helpLines.size(); ++i) {
    out.helpLines[i].left = design.helpLines[i].left + delta;
  }

  // The five narrow columns grow by one step each and the wide one by two,
  // so the grid grows by 7 steps: the delta less its remainder.
  for (int slot = 0; slot < kMacroSlots; ++slot) {
    const int column = ColumnOf(slot);
    Span& button = out.buttons[static_cast<std::size_t>(slot)];
    if (column == kColumnCount - 1) {
      button = {448 + 5 * step, 201 + 2 * step};
    } else {
      button = {8 + 88 * column + column * step, 89 + step};
    }
    out.edits[static_cast<std::size_t>(slot)] = button;
  }

  out[Placed::StaticText1] = {out[Placed::MainStrCmd].left, out.buttons[40].Right()};
  out[Placed::StaticText3].left = out[Placed::AddStrCmd].left;
  return out;
}

VerticalLayout DesignVerticalLayout() { return VerticalLayout{}; }

namespace {
void ClampWidth(Span& span) {
  if (span.width < 0) span.width = 0;
}
}  // namespace

HorizontalLayout ClampedToZero(HorizontalLayout layout) {
  for (Span& span : layout.placed) ClampWidth(span);
  for (Span& span : layout.buttons) ClampWidth(span);
  for (Span& span : layout.edits) ClampWidth(span);
  for (Span& span : layout.helpLines) ClampWidth(span);
  return layout;
}

VerticalLayout ClampedToZero(VerticalLayout layout) {
  if (layout.logHeight < 0) layout.logHeight = 0;
  return layout;
}

Span ListNameSpan(int widthDelta, bool filePanelShown) {
  Span span =
      LayoutPass({.widthDelta = widthDelta, .filePanelShown = filePanelShown})[Placed::STListName];
  ClampWidth(span);
  return span;
}

WindowLayoutState::WindowLayoutState(int designClientWidth, int designClientHeight)
    : designWidth_(designClientWidth), width_(designClientWidth), height_(designClientHeight) {}

std::optional<WindowLayout> WindowLayoutState::Resized(int clientWidth, int clientHeight,
                                                       int consoleWidthBefore) {
  if (clientWidth == width_ && clientHeight == height_) return std::nullopt;
  width_ = clientWidth;
  height_ = clientHeight;
  passHasRun_ = true;
  return WindowLayout{ClampedToZero(LayoutPass({.widthDelta = WidthDelta(),
                                                .filePanelShown = filePanelShown_,
                                                .consoleWidthBefore = consoleWidthBefore})),
                      ClampedToZero(VerticalPass(clientHeight))};
}

Span WindowLayoutState::SetFilePanelShown(bool shown) {
  filePanelShown_ = shown;
  return ListNameSpan(WidthDelta(), shown);
}

VerticalLayout VerticalPass(int clientHeight) {
  constexpr int kLogTop = 28;
  constexpr int kLogBottomMargin = 348;  // from the log's bottom edge to the client bottom
  constexpr int kMainPanelHeight = 297;
  constexpr int kMainPanelBottomMargin = 2;
  constexpr int kLogPanelHeight = 45;

  VerticalLayout v;
  v.logTop = kLogTop;
  v.logHeight = clientHeight - kLogBottomMargin - kLogTop;
  v.mainPanelTop = clientHeight - kMainPanelBottomMargin - kMainPanelHeight;
  v.logPanelTop = v.mainPanelTop - kLogPanelHeight;
  return v;
}

}  // namespace velmora
