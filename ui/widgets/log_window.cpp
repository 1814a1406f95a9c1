#include "ui/widgets/log_window.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "ui/look.h"

namespace velmora::ui {

LogWindow::LogWindow(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setUndoRedoEnabled(false);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(0);
  connect(&flushTimer_, &QTimer::timeout, this, &LogWindow::FlushPending);
}

QStringList LogWindow::ShownLines(const QString& entry) {
  QStringList lines = entry.split(QStringLiteral("\r\n"));
  for (QString& line : lines) {
    line.remove(QChar(u'\r'));
    line.remove(QChar(u'\n'));
    line.remove(QChar(u'\0'));
  }
  return lines;
}

int LogWindow::WrapWidth() const {
  // The plain-text layout leaves the document margin on both sides.
  const qreal margin = document()->documentMargin();
  return viewport()->width() - static_cast<int>(2 * margin);
}

int LogWindow::WrappedLineCount(const QString& line, int width) const {
  if (line.isEmpty()) return 1;
  QTextLayout layout(line, font());
  layout.setTextOption(document()->defaultTextOption());
  layout.beginLayout();
  int count = 0;
  for (QTextLine text = layout.createLine(); text.isValid(); text = layout.createLine()) {
    text.setLineWidth(width);
    ++count;
  }
  layout.endLayout();
  return count > 0 ? count : 1;
}

int LogWindow::EntryLineCount(const QString& entry, int width) const {
  int count = 0;
  for (const QString& line : ShownLines(entry)) count += WrappedLineCount(line, width);
  return count;
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
  pending_.append(ShownLines(entry));
  if (!flushTimer_.isActive()) flushTimer_.start();
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
  QTextCursor cursor(document());
  cursor.movePosition(QTextCursor::End);
  cursor.beginEditBlock();
  // The empty document already holds one empty line: the first drawn line
  // takes it.
  if (drawnLines_ > 0) cursor.insertBlock();
  cursor.insertText(pending_.join(QChar(u'\n')));
  cursor.endEditBlock();
  drawnLines_ += static_cast<int>(pending_.size());
  pending_.clear();
  verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogWindow::Clear() {
  flushTimer_.stop();
  entries_.clear();
  pending_.clear();
  drawnLines_ = 0;
  lineCount_ = 0;
  countValid_ = true;
  clear();
}

void LogWindow::ReplaceEntries(const QStringList& entries) {
  Clear();
  for (const QString& entry : entries) AppendEntry(entry);
}

void LogWindow::SetLogFontPointSize(int points) { setFont(UiFont(points)); }

void LogWindow::resizeEvent(QResizeEvent* event) {
  QPlainTextEdit::resizeEvent(event);
  if (WrapWidth() != countedWidth_) countValid_ = false;
}

void LogWindow::changeEvent(QEvent* event) {
  QPlainTextEdit::changeEvent(event);
  if (event->type() == QEvent::FontChange) countValid_ = false;
}

}  // namespace velmora::ui
