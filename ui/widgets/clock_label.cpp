#include "ui/widgets/clock_label.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <cmath>

namespace velmora::ui {

ClockLabel::ClockLabel(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // The face covers every pixel: nothing needs painting under it.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClockLabel::setText(const QString& text, Paint when) {
  if (text == text_) return;
  const QRect area = ChangedArea(text);
  text_ = text;
  if (when == Paint::Now)
    repaint(area);
  else
    update(area);
}

QRect ClockLabel::ChangedArea(const QString& text) {
  if (text.size() != text_.size()) return rect();
  // Each character must keep its width, so that what did not change stays
  // where it was; the span of those that changed is repainted.
  qreal width = 0, from = -1, to = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const std::optional<qreal> advance = ClockAdvance(text[i]);
    if (!advance || advance != ClockAdvance(text_[i])) return rect();
    if (text[i] != text_[i]) {
      if (from < 0) from = width;
      to = width + *advance;
    }
    width += *advance;
  }
  // The text sits centred in the room; antialiased glyphs may reach into
  // the pixel beyond their advance.
  const QRect room = contentsRect();
  const qreal left = room.x() + (room.width() - width) / 2;
  return QRect(QPoint(int(std::floor(left + from)) - 1, room.top()),
               QPoint(int(std::ceil(left + to)), room.bottom())) &
         room;
}

std::optional<qreal> ClockLabel::ClockAdvance(QChar c) {
  if (!clockFont_) {
    const QFontMetricsF metrics(font());
    ClockFont measured;
    measured.digit = metrics.horizontalAdvance(QLatin1Char('0'));
    measured.colon = metrics.horizontalAdvance(QLatin1Char(':'));
    measured.tabular = true;
    for (char digit = '1'; digit <= '9'; ++digit)
      measured.tabular &= metrics.horizontalAdvance(QLatin1Char(digit)) == measured.digit;
    clockFont_ = measured;
  }
  if (!clockFont_->tabular) return std::nullopt;
  if (c == QLatin1Char(':')) return clockFont_->colon;
  if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) return clockFont_->digit;
  return std::nullopt;
}

void ClockLabel::paintEvent(QPaintEvent* event) {
  const qreal ratio = devicePixelRatioF();
  if (face_.isNull() || face_.devicePixelRatio() != ratio) {
    face_ = QPixmap(size() * ratio);
    face_.setDevicePixelRatio(ratio);
    QPainter painter(&face_);
    painter.fillRect(rect(), palette().brush(backgroundRole()));
    drawFrame(&painter);
  }
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawPixmap(area, face_,
                     QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
  // As QLabel draws a line of plain text.
  style()->drawItemText(&painter, contentsRect(), Qt::AlignCenter, palette(), isEnabled(), text_,
                        foregroundRole());
}

void ClockLabel::changeEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
    case QEvent::ActivationChange:
      Forget();
      update();
      break;
    default: break;
  }
  QFrame::changeEvent(event);
}

void ClockLabel::Forget() {
  face_ = QPixmap();
  clockFont_.reset();
}

void ClockLabel::resizeEvent(QResizeEvent* event) {
  face_ = QPixmap();
  QFrame::resizeEvent(event);
}

}  // namespace velmora::ui
