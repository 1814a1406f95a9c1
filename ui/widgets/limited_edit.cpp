#include "ui/widgets/limited_edit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>

namespace velmora::ui {

LimitedEdit::LimitedEdit(QWidget* parent) : QLineEdit(parent) {
  setMaxLength(kLongestEditText);
  // QLineEdit emits textEdited before textChanged, so before_ still holds the
  // old text while OnTextEdited runs. After a correction the edit still emits
  // textChanged with the uncorrected text, hence the current text is read.
  connect(this, &QLineEdit::textEdited, this, &LimitedEdit::OnTextEdited);
  connect(this, &QLineEdit::textChanged, this, [this] { before_ = text(); });
}

void LimitedEdit::keyPressEvent(QKeyEvent* event) {
  // Qt cuts a paste beyond the maximum length one character at a time, which
  // takes seconds to minutes for a long one. Cut it to the room left first, so
  // Qt's insert takes it at once; the rest of the paste is Qt's own.
  if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
    QString clip = QGuiApplication::clipboard()->text();
    const qsizetype room = maxLength() - (text().size() - selectedText().size());
    if (clip.size() > room) {
      clip.truncate(std::max<qsizetype>(0, room));
      insert(clip);
      event->accept();
      return;
    }
  }
  QLineEdit::keyPressEvent(event);
}

void LimitedEdit::OnTextEdited(const QString& after) {
  if (after.size() >= maxLength() && after.size() > before_.size()) emit longestTextReached();
  if (userMaxLength_ <= 0 || after.size() <= userMaxLength_ || after.size() <= before_.size()) {
    return;
  }
  // One edit replaces a middle part of the old text: find the common head and
  // tail, and what was put between them.
  const qsizetype shorter = std::min(before_.size(), after.size());
  qsizetype head = 0;
  while (head < shorter && before_.at(head) == after.at(head)) ++head;
  qsizetype tail = 0;
  while (tail < shorter - head &&
         before_.at(before_.size() - 1 - tail) == after.at(after.size() - 1 - tail)) {
    ++tail;
  }
  const qsizetype kept = head + tail;  // characters of the old text left standing
  const qsizetype room = std::max<qsizetype>(0, userMaxLength_ - kept);
  const QString inserted = after.mid(head, after.size() - head - tail).left(room);
  const QString fitted = before_.left(head) + inserted + before_.right(tail);
  setText(fitted);
  setCursorPosition(static_cast<int>(head + inserted.size()));
}

}  // namespace velmora::ui
