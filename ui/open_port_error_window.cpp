#include "ui/open_port_error_window.h"

#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cstdint>

#include "ui/look.h"

namespace velmora::ui {
namespace {

// A fixed pseudo-random walk, so that every run draws the same picture.
class Jitter {
 public:
  explicit Jitter(std::uint32_t seed) : state_(seed) {}
  // A value in [-1, 1].
  double Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<double>(state_ >> 8) / static_cast<double>(1u << 23) - 1.0;
  }

 private:
  std::uint32_t state_;
};

// Letters set one by one, each slightly turned and lifted, read as a hand.
void DrawHandwriting(QPainter& painter, const QString& text, QPointF start, const QFont& font,
                     const QColor& colour, std::uint32_t seed) {
  Jitter jitter(seed);
  const QFontMetricsF metrics(font);
  painter.save();
  painter.setFont(font);
  painter.setPen(colour);
  QPointF pen = start;
  for (const QChar letter : text) {
    painter.save();
    painter.translate(pen.x(), pen.y() + 2.5 * jitter.Next());
    painter.rotate(-3.0 + 5.0 * jitter.Next());
    painter.drawText(QPointF(0, 0), QString(letter));
    painter.restore();
    pen.rx() += metrics.horizontalAdvance(letter) * 0.94;
    pen.ry() -= 0.35;  // the line climbs a little, as written lines do
  }
  painter.restore();
}

QFont HandFont(int pixels) {
  QFont font(QStringLiteral("DejaVu Serif"));
  font.setPixelSize(pixels);
  font.setItalic(true);
  font.setBold(true);
  return font;
}

void DrawPaper(QPainter& painter, const QRect& area) {
  painter.fillRect(area, QColor(253, 252, 244));
  painter.setPen(QPen(QColor(200, 215, 240), 1));
  for (int y = 24; y < area.height(); y += 24) painter.drawLine(0, y, area.width(), y);
  painter.setPen(QPen(QColor(240, 170, 170), 1));
  painter.drawLine(34, 0, 34, area.height());
}

void DrawSign(QPainter& painter) {
  const QRectF sign(48, 28, 510, 120);
  painter.setPen(QPen(QColor(200, 20, 20), 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::white);
  painter.drawRoundedRect(sign, 22, 22);
  painter.setBrush(Qt::NoBrush);
  // An exclamation mark in a circle at the sign's left.
  painter.setPen(QPen(QColor(200, 20, 20), 5));
  painter.drawEllipse(QPointF(96, 88), 30, 30);
  painter.setPen(QPen(QColor(200, 20, 20), 7, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(96, 68), QPointF(96, 94));
  painter.drawPoint(QPointF(96, 106));
  DrawHandwriting(painter, QStringLiteral("Сначала откройте"), {134, 82}, HandFont(33),
                  QColor(170, 0, 0), 7);
  DrawHandwriting(painter, QStringLiteral("порт!"), {300, 128}, HandFont(38), QColor(170, 0, 0),
                  11);
}

void DrawPlugAndSocket(QPainter& painter) {
  const QColor ink(40, 40, 60);
  painter.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

  // The cable comes in from the left in a loose curve.
  QPainterPath cable(QPointF(40, 330));
  cable.cubicTo(QPointF(80, 250), QPointF(110, 360), QPointF(160, 290));
  painter.drawPath(cable);
  // The plug: a body with a collar and two pins pointing right.
  painter.setBrush(QColor(90, 90, 110));
  painter.drawRoundedRect(QRectF(160, 262, 70, 56), 10, 10);
  painter.drawRect(QRectF(230, 270, 14, 40));
  painter.setBrush(QColor(210, 180, 60));
  painter.drawRect(QRectF(244, 276, 30, 8));
  painter.drawRect(QRectF(244, 296, 30, 8));

  // The socket on a wall plate, holes facing left.
  painter.setBrush(QColor(235, 235, 235));
  painter.drawRoundedRect(QRectF(430, 236, 120, 110), 14, 14);
  painter.setBrush(Qt::white);
  painter.drawEllipse(QPointF(490, 291), 40, 40);
  painter.setBrush(ink);
  painter.drawRoundedRect(QRectF(462, 276, 16, 8), 3, 3);
  painter.drawRoundedRect(QRectF(462, 296, 16, 8), 3, 3);
  painter.setBrush(Qt::NoBrush);

  // A dashed arrow from the plug to the socket, and the gap crossed out.
  painter.setPen(QPen(QColor(0, 90, 200), 3, Qt::DashLine, Qt::RoundCap));
  painter.drawLine(QPointF(292, 290), QPointF(410, 290));
  painter.setPen(QPen(QColor(0, 90, 200), 3, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(410, 290), QPointF(396, 280));
  painter.drawLine(QPointF(410, 290), QPointF(396, 300));
  painter.setPen(QPen(QColor(200, 20, 20), 4, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(336, 250), QPointF(366, 330));
  painter.drawLine(QPointF(366, 250), QPointF(336, 330));
}

void DrawHint(QPainter& painter) {
  DrawHandwriting(painter, QStringLiteral("Нажмите Connect"), {50, 420}, HandFont(36),
                  QColor(0, 60, 170), 23);
  // A wavy underline.
  QPainterPath wave(QPointF(50, 436));
  for (int x = 50; x < 390; x += 20) {
    wave.quadTo(QPointF(x + 5, 442), QPointF(x + 10, 436));
    wave.quadTo(QPointF(x + 15, 430), QPointF(x + 20, 436));
  }
  painter.setPen(QPen(QColor(0, 60, 170), 2, Qt::SolidLine, Qt::RoundCap));
  painter.drawPath(wave);
  // A small drawn button to point at.
  painter.setPen(QPen(QColor(40, 40, 60), 2));
  painter.setBrush(QColor(230, 230, 230));
  const QRectF button(440, 398, 110, 36);
  painter.drawRoundedRect(button, 5, 5);
  painter.setFont(UiFont(12, true));
  painter.drawText(button, Qt::AlignCenter, QStringLiteral("Connect"));
}

}  // namespace

QImage TOpenPortError::DrawPicture() {
  QImage canvas(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
  QPainter painter(&canvas);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  DrawPaper(painter, canvas.rect());
  DrawSign(painter);
  DrawPlugAndSocket(painter);
  DrawHint(painter);
  painter.end();
  return canvas.convertToFormat(QImage::Format_RGB888);
}

TOpenPortError::TOpenPortError(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      picture_(new QLabel(this)) {
  setObjectName(QStringLiteral("TOpenPortError"));
  setWindowTitle(QStringLiteral("OpenPortError"));
  setFixedSize(kPictureWidth, kPictureHeight);
  picture_->setObjectName(QStringLiteral("Picture"));
  picture_->setGeometry(0, 0, kPictureWidth, kPictureHeight);
  picture_->setPixmap(QPixmap::fromImage(DrawPicture()));
  CenterOnScreen(*this);
}

}  // namespace velmora::ui
