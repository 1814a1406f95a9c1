#pragma once

#include <QPlainTextEdit>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

namespace velmora::ui {

// The log display: one entry per packet, wrapped at the window's width, with
// a vertical scroll bar. Only a CR LF pair breaks an entry into lines on the
// screen; a lone CR, a lone LF and NUL show as nothing.
//
// Appending is cheap at any rate: the entry and the line count are updated at
// once, while the lines reach the screen in batches: just before the window's
// next frame (see PaintThrottle), or every kFlushIntervalMs in a window
// without frames. The count adds each entry's own wrapped lines for the current width
// and font, and is worked out afresh only after the width or the font changed.
class LogWindow : public QPlainTextEdit {
  Q_OBJECT

 public:
  static constexpr int kFlushIntervalMs = 33;
  // After the log was emptied and this long without another emptying, the
  // memory its lines held goes back to the system.
  static constexpr int kReleaseAfterMs = 1000;

  explicit LogWindow(QWidget* parent = nullptr);

  void AppendEntry(const QString& entry);
  // The entries as appended, unchanged.
  const QStringList& Entries() const { return entries_; }
  // Lines as the window shows them, wrapped lines included.
  int ShownLineCount() const;
  void Clear();
  // What hands the freed memory back (the tests count its calls).
  std::function<void()> releaseFreeMemory;
  // Shows other entries in place of these (the frozen copy of a pause).
  void ReplaceEntries(const QStringList& entries);
  void SetLogFontPointSize(int points);
  // Draws the queued lines now instead of when the batch is due.
  void FlushPending();

  // Whether the cells of the current font are measured yet (see showEvent).
  bool FontMeasured() const { return asciiCell_ >= 0; }

  // The screen lines of one entry, before wrapping. Sample: "ok\r\n12\r" ->
  // "ok", "12".
  static QStringList ShownLines(const QString& entry);

 signals:
  // An entry was appended (the window's housekeeping checks the line limit).
  void entryAppended();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  class WrapCount;

  int WrapWidth() const;
  int WrappedLineCount(const QString& line, int width) const;
  // A character's advance as the layout sums it, in 1/64 pixel.
  int Advance(char16_t c) const;
  // The table of advances by UTF-16 code unit, made on first use.
  const int* MeasuredAdvances() const;
  // The one advance of every printable ASCII character (blank included);
  // 0 where they differ.
  int AsciiCell() const;
  int EntryLineCount(const QString& entry, int width) const;
  // Measures the font's cells once the events queued now are handled.
  void MeasureFontSoon();
  // The first queued line asks for the batch to be drawn.
  void ScheduleFlush();

  QStringList entries_;
  QStringList pending_;  // entries not drawn yet
  int drawnEntries_ = 0;
  mutable int lineCount_ = 0;
  mutable int countedWidth_ = -1;
  mutable bool countValid_ = true;
  QTimer flushTimer_;
  QTimer releaseTimer_;
  QPointer<QObject> frameClock_;  // the PaintThrottle whose frames draw the batches
  // Advances of the current font by UTF-16 code unit; -1: not measured yet.
  mutable std::vector<int> advances_;
  mutable int asciiCell_ = -1;  // -1: not measured yet
};

}  // namespace velmora::ui
