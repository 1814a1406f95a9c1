#pragma once

#include <QKeyEvent>
#include <QLineEdit>
#include <QString>

namespace velmora::ui {

// A line edit whose length limit binds the user only. QLineEdit's own
// maximum length also cuts texts set by the program, but the terminal must
// show a longer history line or macro whole in an edit that lets the user
// type only so many characters. So Qt's limit is only a bound against
// absurd pastes (kLongestEditText, above Qt's default of 32767, which
// silently cut a pasted packet of 100,000 characters) and the user's limit
// is applied after each user edit (typing, pasting, dropping, undo): the
// inserted part is cut so that the text grows no longer than the limit. A
// text already longer than the limit keeps its length, and the user can
// shorten it but not add to it.
class LimitedEdit : public QLineEdit {
  Q_OBJECT

 public:
  // The most characters any edit holds: a console line or tail without a
  // limit of its own takes a pasted packet of 100,000 characters whole. Not
  // more: Qt's cutting of a longer paste takes time that grows with the
  // square of this limit (a second here, minutes at a million).
  static constexpr int kLongestEditText = 120000;

  explicit LimitedEdit(QWidget* parent = nullptr);

  // 0: no limit of our own.
  void SetUserMaxLength(int length) { userMaxLength_ = length; }
  int UserMaxLength() const { return userMaxLength_; }

 signals:
  // A user edit filled the edit to kLongestEditText: what was pasted beyond
  // it has been cut off by Qt.
  void longestTextReached();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void OnTextEdited(const QString& after);

  QString before_;  // the text before the edit being handled
  int userMaxLength_ = 0;
};

}  // namespace velmora::ui
