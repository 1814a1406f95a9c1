#include "ui/widgets/log_window.h"

#include <QAbstractTextDocumentLayout>
#include <QCursor>
#include <QImage>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <utility>

#include "common/free_memory.h"
#include "ui/look.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {
namespace {

// Qt's raster engine hands a fill of more than about 96 rows to its thread
// pool in parts; for the few hundred rows of a log frame the hand-over and
// the wake-ups of the pool threads cost more than the fill itself. Fills of
// at most kFillBandRows rows stay on the painting thread.
constexpr int kFillBandRows = 64;

template <typename PaintBand>
void ForEachBand(const QRegion& region, PaintBand paint) {
  for (const QRect& rect : region) {
    for (int top = rect.top(); top <= rect.bottom(); top += kFillBandRows) {
      paint(
          QRect(rect.left(), top, rect.width(), std::min(kFillBandRows, rect.bottom() - top + 1)));
    }
  }
}

// The log's scroll bar, repainted only when what it shows changes: the log
// grows by a line per packet, which mostly leaves the handle where it was to
// the pixel, and a scroll bar as tall as the log is a fill of hundreds of rows.
// When it does change, the style draws it into band-high images, so that no
// fill or line of it spans enough rows to go to the thread pool; and as it
// covers its area, the log's frame and the window beneath it are not drawn.
// The style is called directly, as the scroll bar's own paint does: going
// through QWidget::render for each band walked the widget tree every time.
class LogScrollBar : public QScrollBar {
 public:
  LogScrollBar(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

  // New lines change the range and then the value: in between the value is
  // off the end for a moment. Between these two calls only what the scroll
  // bar shows at the end counts.
  void BeginChange() { ++changing_; }
  void EndChange() {
    if (--changing_ == 0) Follow();
  }

 protected:
  void paintEvent(QPaintEvent* event) override {
    const qreal ratio = devicePixelRatioF();
    const QColor beneath = palette().color(QPalette::Window);
    const QStyleOptionSlider option = PaintOption();
    QPainter painter(this);
    ForEachBand(event->region(), [&](const QRect& band) {
      QImage image(band.size() * ratio, QImage::Format_ARGB32_Premultiplied);
      image.setDevicePixelRatio(ratio);
      image.fill(beneath);
      {
        QPainter bandPainter(&image);
        // What a painter opened on the widget starts with.
        bandPainter.setFont(font());
        bandPainter.setPen(palette().color(foregroundRole()));
        bandPainter.translate(-band.topLeft());
        bandPainter.setClipRect(band);
        style()->drawComplexControl(QStyle::CC_ScrollBar, &option, &bandPainter, this);
      }
      painter.drawImage(band.topLeft(), image);
    });
  }

  void mousePressEvent(QMouseEvent* event) override {
    pressed_ = HitTest(event->position().toPoint());
    QScrollBar::mousePressEvent(event);
  }

  void mouseReleaseEvent(QMouseEvent* event) override {
    pressed_ = QStyle::SC_None;
    QScrollBar::mouseReleaseEvent(event);
  }

  void sliderChange(SliderChange change) override {
    if (change == SliderOrientationChange) {
      shown_ = Current();
      QScrollBar::sliderChange(change);
    } else if (changing_ == 0) {
      Follow();
    }
  }

 private:
  struct Look {
    QRect handle;
    bool atMinimum = false;
    bool atMaximum = false;
    bool operator==(const Look&) const = default;
  };

  Look Current() const {
    const QStyleOptionSlider option = Option();
    const QRect handle =
        style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, this);
    return {handle, value() == minimum(), value() == maximum()};
  }

  // Repaints what changed since the last look.
  void Follow() {
    const Look look = Current();
    const Look before = std::exchange(shown_, look);
    if (look.atMinimum != before.atMinimum || look.atMaximum != before.atMaximum) {
      // The arrows' enabled look changes with the ends.
      update();
    } else if (look.handle != before.handle) {
      // Only where the handle was and is changes: the groove's look does not
      // depend on where the handle lies. The style draws the handle's edge
      // a pixel beyond its rectangle.
      constexpr int kEdge = 3;
      update(look.handle.united(before.handle).adjusted(-kEdge, -kEdge, kEdge, kEdge));
    }
  }

  QStyleOptionSlider Option() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return option;
  }

  QStyle::SubControl HitTest(const QPoint& at) const {
    const QStyleOptionSlider option = Option();
    return style()->hitTestComplexControl(QStyle::CC_ScrollBar, &option, at, this);
  }

  // The option the scroll bar's own paint hands the style: the part held
  // down is active (sunken while the pointer is on it), else the part under
  // the pointer.
  QStyleOptionSlider PaintOption() const {
    QStyleOptionSlider option = Option();
    option.subControls = QStyle::SC_All;
    const QStyle::SubControl underPointer =
        underMouse() ? HitTest(mapFromGlobal(QCursor::pos())) : QStyle::SC_None;
    if (pressed_ != QStyle::SC_None) {
      option.activeSubControls = pressed_;
      if (isSliderDown() || underPointer == pressed_) option.state |= QStyle::State_Sunken;
    } else {
      option.activeSubControls = underPointer;
    }
    return option;
  }

  Look shown_;
  int changing_ = 0;
  QStyle::SubControl pressed_ = QStyle::SC_None;
};

}  // namespace

LogWindow::LogWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setVerticalScrollBar(new LogScrollBar(Qt::Vertical, this));
  // The background is filled band by band in paintEvent.
  viewport()->setAutoFillBackground(false);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setWordWrapMode(QTextOption::WrapAnywhere);
  setFont(LogFont(8));
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Lines reach the screen at most about 30 times a second: a busy line then
  // costs one layout and one paint per batch instead of one per packet. In
  // a window with frames the frame itself draws the batch.
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(kFlushIntervalMs);
  connect(&flushTimer_, &QTimer::timeout, this, &LogWindow::FlushPending);
  // A flood fills and empties the log many times a second; the freed lines
  // lie scattered through the heap and stay resident (a third more memory
  // after three floods) until they are handed back, once the log is quiet.
  releaseFreeMemory = ReleaseFreeMemory;
  releaseTimer_.setSingleShot(true);
  releaseTimer_.setInterval(kReleaseAfterMs);
  connect(&releaseTimer_, &QTimer::timeout, this, [this] {
    if (releaseFreeMemory) releaseFreeMemory();
  });
}

namespace {

// Control characters have no glyph: a lone CR or LF, NUL and the rest show
// as nothing, so every character left has an advance of its own. So does
// the soft hyphen, which is invisible except where a line breaks.
bool Hidden(char16_t u) { return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0xAD; }

// Walks an entry as the window shows it: `lineBreak` at each CR LF pair,
// `glyph` for each character that shows.
template <typename LineBreak, typename Glyph>
void WalkEntry(const QString& entry, LineBreak lineBreak, Glyph glyph) {
  const qsizetype size = entry.size();
  const QChar* text = entry.constData();
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t u = text[i].unicode();
    if (u == u'\r' && i + 1 < size && text[i + 1] == u'\n') {
      lineBreak();
      ++i;
    } else if (!Hidden(u)) {
      glyph(u);
    }
  }
}

}  // namespace

QStringList LogWindow::ShownLines(const QString& entry) {
  QStringList lines(1);
  WalkEntry(
      entry, [&] { lines.append(QString()); }, [&](char16_t u) { lines.last().append(QChar(u)); });
  return lines;
}

int LogWindow::WrapWidth() const {
  // The plain-text layout leaves the document margin on both sides.
  const qreal margin = document()->documentMargin();
  return viewport()->width() - static_cast<int>(2 * margin);
}

const int* LogWindow::MeasuredAdvances() const {
  if (advances_.empty()) advances_.assign(0x10000, -1);
  return advances_.data();
}

int LogWindow::Advance(char16_t c) const {
  if (const int measured = MeasuredAdvances()[c]; measured >= 0) return measured;
  // Laid out alone, as the window lays it out: a character the font lacks
  // gets the advance of the font that stands in for it.
  QTextLayout layout(QString(QChar(c)), font());
  layout.beginLayout();
  QTextLine line = layout.createLine();
  if (line.isValid()) line.setLineWidth(1e6);
  const int advance = line.isValid() ? qRound(line.naturalTextWidth() * 64) : 0;
  layout.endLayout();
  advances_[c] = advance;
  return advance;
}

// The window wraps anywhere, at the character that would overflow the line;
// blanks (U+0020 only: a no-break space is a glyph like any other) at a break
// hang past the edge and move nothing to the next line. Two rules of the
// layout beside that: blanks before the first glyph of a line take no room
// until a glyph follows them (that glyph stays on the line however far it
// reaches), and a run of blanks wider than a whole line ends the line, so a
// line break that follows it starts a line of its own.
// With fixed advances per character (a monospaced font without kerning) the
// count follows from the advances alone, without laying the text out.
class LogWindow::WrapCount {
 public:
  explicit WrapCount(int width) : limit_(static_cast<qint64>(width) * 64) {}

  void Add(char16_t c, int advance) {
    if (c == u' ') {
      blanks_ += advance;
      return;
    }
    if (blanks_ > limit_ || (occupied_ && used_ + blanks_ + advance > limit_)) {
      ++lines_;
      used_ = advance;
    } else {
      used_ += blanks_ + advance;
    }
    blanks_ = 0;
    occupied_ = true;
  }
  // The screen lines of the line so far; the next character starts a new
  // one. `broken`: a line break follows (not the end of the entry).
  int Close(bool broken) {
    const int lines = lines_ + (broken && blanks_ > limit_ ? 1 : 0);
    lines_ = 1;
    used_ = 0;
    blanks_ = 0;
    occupied_ = false;
    return lines;
  }

 private:
  qint64 limit_;
  int lines_ = 1;
  qint64 used_ = 0;    // glyphs and inner blanks on the current line
  qint64 blanks_ = 0;  // blanks since the last glyph
  bool occupied_ = false;
};

int LogWindow::WrappedLineCount(const QString& line, int width) const {
  WrapCount count(width);
  for (const QChar c : line) count.Add(c.unicode(), Advance(c.unicode()));
  return count.Close(false);
}

namespace {

// The screen lines of one line of `size` characters, each one cell wide,
// where a screen line holds `cells` of them, by the rules above: the break
// lands on the first glyph past the edge, and the blanks before it hang
// there. `broken`: a line break follows.
int LinesByCells(const QChar* text, qsizetype size, qsizetype cells, bool broken) {
  qsizetype first = 0;  // the first glyph
  while (first < size && text[first] == u' ') ++first;
  if (first == size) return 1 + (broken && size > cells ? 1 : 0);
  int lines = 1;
  // Leading blanks wider than a line fill one alone; narrower, they leave
  // the first glyph on the line, and the line is then full at whichever
  // comes later: its last cell or that glyph.
  qsizetype start = first;
  qsizetype full = cells;
  if (first > cells) {
    ++lines;
  } else {
    start = 0;
    full = std::max(cells, first + 1);
  }
  for (;;) {
    qsizetype next = start + full;
    if (next >= size) break;
    while (next < size && text[next] == u' ') ++next;
    if (next == size) break;
    ++lines;
    start = next;
    full = cells;
  }
  qsizetype trailing = 0;
  while (text[size - 1 - trailing] == u' ') ++trailing;
  return lines + (broken && trailing > cells ? 1 : 0);
}

// The same count over an entry of printable ASCII and CR LF pairs; false
// for any other character, which the count by advances takes.
bool EntryLinesByCells(const QString& entry, qsizetype cells, int& lines) {
  const QChar* text = entry.constData();
  const qsizetype size = entry.size();
  lines = 0;
  qsizetype start = 0;
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t u = text[i].unicode();
    if (u >= 0x20 && u < 0x7F) continue;
    if (u != u'\r' || i + 1 == size || text[i + 1] != u'\n') return false;
    lines += LinesByCells(text + start, i - start, cells, true);
    start = i + 2;
    ++i;
  }
  lines += LinesByCells(text + start, size - start, cells, false);
  return true;
}

}  // namespace

int LogWindow::AsciiCell() const {
  if (asciiCell_ < 0) {
    asciiCell_ = Advance(u' ');
    for (char16_t c = 0x21; c < 0x7F && asciiCell_ > 0; ++c) {
      if (Advance(c) != asciiCell_) asciiCell_ = 0;
    }
  }
  return asciiCell_;
}

// One pass over the entry, without splitting it: this runs for every
// packet a busy line brings. In a monospaced font, an entry of printable
// ASCII (every HEX line, most text) is counted by cells, its characters
// unread except where a screen line breaks.
int LogWindow::EntryLineCount(const QString& entry, int width) const {
  if (const int cell = AsciiCell(); cell > 0) {
    const qsizetype cells = static_cast<qint64>(width) * 64 / cell;
    int byCells = 0;
    if (cells > 0 && EntryLinesByCells(entry, cells, byCells)) return byCells;
  }
  int lines = 0;
  WrapCount count(width);
  // The advances measured so far are read in place; only a character not
  // measured yet takes the call.
  const int* measured = MeasuredAdvances();
  WalkEntry(
      entry, [&] { lines += count.Close(true); },
      [&](char16_t u) {
        const int advance = measured[u];
        count.Add(u, advance >= 0 ? advance : Advance(u));
      });
  return lines + count.Close(false);
}

void LogWindow::AppendEntry(const QString& entry) {
  if (entries_.isEmpty()) {
    lineCount_ = 0;
    countedWidth_ = WrapWidth();
    countValid_ = true;
  }
  entries_.append(entry);
  if (countValid_ && countedWidth_ != WrapWidth()) countValid_ = false;
  if (countValid_) lineCount_ += EntryLineCount(entry, countedWidth_);
  const bool firstQueued = pending_.isEmpty();
  // Made into screen lines when drawn: on a busy line most entries are gone
  // (the line limit empties the log) before their batch is due.
  pending_.append(entry);
  if (firstQueued) ScheduleFlush();
  emit entryAppended();
}

void LogWindow::ScheduleFlush() {
  PaintThrottle* frames = PaintThrottle::Of(this);
  if (!frames) {
    if (!flushTimer_.isActive()) flushTimer_.start();
    return;
  }
  if (frameClock_ != frames) {
    if (frameClock_) disconnect(frameClock_, nullptr, this, nullptr);
    connect(frames, &PaintThrottle::frameDue, this, &LogWindow::FlushPending);
    frameClock_ = frames;
  }
  frames->RequestFrame();
}

int LogWindow::ShownLineCount() const {
  const int width = WrapWidth();
  if (!countValid_ || countedWidth_ != width) {
    lineCount_ = 0;
    for (const QString& entry : entries_) lineCount_ += EntryLineCount(entry, width);
    countedWidth_ = width;
    countValid_ = true;
  }
  return lineCount_;
}

void LogWindow::FlushPending() {
  flushTimer_.stop();
  if (pending_.isEmpty()) return;
  // The empty document already holds one empty paragraph: the first drawn
  // entry takes it.
  const int firstNew = drawnEntries_ > 0 ? document()->blockCount() : 0;
  // One paragraph an entry, its screen lines parted by line separators:
  // a flood of text brings dozens of lines a packet, and every paragraph
  // costs the document far more than a line inside one.
  qsizetype length = static_cast<qsizetype>(pending_.size());
  for (const QString& entry : pending_) length += entry.size();
  QString text(length, Qt::Uninitialized);
  char16_t* out = reinterpret_cast<char16_t*>(text.data());
  char16_t* const start = out;
  std::vector<int> shownLines;  // of each entry, before wrapping
  shownLines.reserve(static_cast<std::size_t>(pending_.size()));
  for (const QString& entry : pending_) {
    if (!shownLines.empty()) *out++ = QChar::ParagraphSeparator;
    shownLines.push_back(1);
    WalkEntry(
        entry,
        [&] {
          *out++ = QChar::LineSeparator;
          ++shownLines.back();
        },
        [&](char16_t u) { *out++ = u; });
  }
  text.truncate(out - start);
  // The plain-text layout asks for the whole view to be repainted after any
  // edit; lines added at the end change only what is below the old last
  // line, and scrolling moves the rest on screen. So its signals rest while
  // the lines go in, the scroll range follows the new size, and only the
  // new lines are painted.
  QAbstractTextDocumentLayout* layout = document()->documentLayout();
  {
    const QSignalBlocker quiet(layout);
    QTextCursor cursor(document());
    // Inside the edit block the move does not lay out the last line to find
    // the cursor's x.
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    if (drawnEntries_ > 0) cursor.insertBlock();
    cursor.insertText(text);
    cursor.endEditBlock();
  }
  // Until a paragraph is laid out the plain-text layout counts it as one
  // line, and the scroll range with it; a paragraph a screen line counted
  // right. Each entry's paragraph counts its lines as those would have.
  QTextBlock block = document()->findBlockByNumber(firstNew);
  for (const int lines : shownLines) {
    if (!block.isValid()) break;
    block.setLineCount(lines);
    block = block.next();
  }
  auto* bar = static_cast<LogScrollBar*>(verticalScrollBar());
  bar->BeginChange();
  emit layout->documentSizeChanged(layout->documentSize());
  drawnEntries_ += static_cast<int>(pending_.size());
  pending_.clear();
  bar->setValue(bar->maximum());
  bar->EndChange();
  // The view below the last line was blank and stays blank: while the log
  // is not full yet, painting down to the view's bottom would draw (and send
  // to the screen) most of an empty view for every packet.
  const QPointF offset = contentOffset();
  const QTextBlock first = document()->findBlockByNumber(firstNew);
  const int top =
      std::max(0, static_cast<int>(blockBoundingGeometry(first).translated(offset).top()));
  const QRectF last = blockBoundingGeometry(document()->lastBlock()).translated(offset);
  const int bottom = std::min(viewport()->height(), static_cast<int>(std::ceil(last.bottom())));
  if (bottom > top) viewport()->update(QRect(0, top, viewport()->width(), bottom - top));
}

void LogWindow::Clear() {
  flushTimer_.stop();
  entries_.clear();
  pending_.clear();
  drawnEntries_ = 0;
  lineCount_ = 0;
  countValid_ = true;
  clear();
  releaseTimer_.start();
}

void LogWindow::ReplaceEntries(const QStringList& entries) {
  Clear();
  for (const QString& entry : entries) AppendEntry(entry);
}

void LogWindow::SetLogFontPointSize(int points) { setFont(LogFont(points)); }

void LogWindow::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(viewport());
    const QBrush base = viewport()->palette().brush(viewport()->backgroundRole());
    ForEachBand(event->region(), [&](const QRect& band) { painter.fillRect(band, base); });
  }
  QPlainTextEdit::paintEvent(event);
}

void LogWindow::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  if (WrapWidth() != countedWidth_) countValid_ = false;
}

void LogWindow::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    countValid_ = false;
    advances_.clear();
    asciiCell_ = -1;
    if (isVisible()) MeasureFontSoon();
  }
}

// The first line counted in a font measures its printable ASCII first, and
// the first layout in a font also loads the font: about a millisecond and a
// half, which the first command sent (its echo comes before the bytes go out)
// or the first packet received would wait for. A shown log measures the
// font while nothing is waiting instead.
void LogWindow::showEvent(QShowEvent* event) {
  QPlainTextEdit::showEvent(event);
  if (!FontMeasured()) MeasureFontSoon();
}

void LogWindow::MeasureFontSoon() {
  QTimer::singleShot(0, this, [this] { AsciiCell(); });
}

}  // namespace velmora::ui
