#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace velmora::ui {

// The info window: the program's description and its name and version on
// white, a fixed 581 x 462 client area, only a close box.
class TInfo : public QDialog {
  Q_OBJECT

 public:
  explicit TInfo(QWidget* parent = nullptr);

  QLabel* Description() const { return description_; }
  QLabel* Version() const { return version_; }

 protected:
  void changeEvent(QEvent* event) override;

 private:
  QLabel* description_;
  QLabel* version_;
  // Takes the focus for a moment whenever the window is activated, so that
  // no visible control holds it.
  QPushButton* focusSink_;
};

}  // namespace velmora::ui
