#pragma once

#include <QComboBox>
#include <QElapsedTimer>
#include <QPoint>

namespace velmora::ui {

// A drop-down list that reports double clicks. A plain non-editable combo box
// opens its popup on the first press, so the second press of a double click
// lands on the popup and the box never sees a double click. Here the popup
// watches for that second press: when it comes within the double-click time
// and near the first, the popup closes and doubleClicked is emitted.
class DoubleClickComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit DoubleClickComboBox(QWidget* parent = nullptr) : QComboBox(parent) {}

  void showPopup() override;

 signals:
  void doubleClicked();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // True when a press at this screen position completes a double click.
  bool CompletesDoubleClick(QPoint globalPos) const;
  void ReportDoubleClick();

  QElapsedTimer firstPress_;
  QPoint firstPressPos_;
  bool reported_ = false;  // the current press has already been reported
  bool popupWatched_ = false;
};

}  // namespace velmora::ui
