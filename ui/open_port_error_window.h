#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

namespace velmora::ui {

// The picture window shown when a packet is to be sent while the port is
// closed: one 599 x 499 picture, only a close box. On Linux the window
// manager draws the frame, so the client area is set to the picture's size.
class TOpenPortError : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPictureWidth = 599;
  static constexpr int kPictureHeight = 499;

  explicit TOpenPortError(QWidget* parent = nullptr);

  // The picture, drawn at run time, 24 bits per pixel: a sign demanding in
  // handwriting that the port be opened first, a plug and a socket apart, and
  // the button to press.
  static QImage DrawPicture();

  QLabel* Picture() const { return picture_; }

 private:
  QLabel* picture_;
};

}  // namespace velmora::ui
