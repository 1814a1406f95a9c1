#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>
#include <optional>

namespace velmora::ui {

// A sunken label that shows one line of text centred, made for the clock:
// its text changes every second for as long as the program runs, so its
// paint is most of what an idle terminal costs. A QLabel measures its new
// text, tells the accessibility layer and draws its frame through the style
// each time; this one keeps a picture of the frame with its background and
// draws only the text over it, and a new text of the same width repaints
// only the characters that changed (the clock's digits share one width).
//
// It looks exactly as a QLabel with the same frame, font and palette would.
// Only texts of digits and colons, in a font whose digits share one width,
// are repainted in part; any other change repaints the whole label.
class ClockLabel : public QFrame {
  Q_OBJECT

 public:
  explicit ClockLabel(QWidget* parent = nullptr);

  enum class Paint {
    Later,  // as update(): Qt posts a request for the paint
    Now,    // as repaint(): painted within the call, nothing posted
  };
  void setText(const QString& text, Paint when = Paint::Later);
  const QString& text() const { return text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // Where `text_` changed into `text`, or the whole label.
  QRect ChangedArea(const QString& text);
  // The advance of a digit or a colon when the font's digits share one width
  // (measured once a font); nothing for any other character or font.
  std::optional<qreal> ClockAdvance(QChar c);
  // Forgets what was drawn or measured with the old look.
  void Forget();

  QString text_;
  struct ClockFont {
    bool tabular = false;
    qreal digit = 0;
    qreal colon = 0;
  };
  std::optional<ClockFont> clockFont_;
  // The frame with the background inside it; made again after a change of
  // size or look.
  QPixmap face_;
};

}  // namespace velmora::ui
