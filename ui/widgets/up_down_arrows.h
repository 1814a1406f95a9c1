#pragma once

#include <QWidget>

class QToolButton;

namespace velmora::ui {

// Two small arrow buttons, one above the other. The control keeps no value of
// its own: the handler decides what a step means.
class UpDownArrows : public QWidget {
  Q_OBJECT

 public:
  explicit UpDownArrows(QWidget* parent = nullptr);

  QToolButton* UpButton() const { return up_; }
  QToolButton* DownButton() const { return down_; }

 signals:
  void clicked(bool up);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QToolButton* up_;
  QToolButton* down_;
};

}  // namespace velmora::ui
