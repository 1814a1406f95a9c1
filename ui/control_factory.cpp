#include "ui/control_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "ui/widgets/limited_edit.h"
#include "ui/widgets/narrow_combo_style.h"

namespace velmora::ui {

QRect DesignRect(Placed control, int top, int height) {
  const Span span = DesignLayout()[control];
  return {span.left, top, span.width, height};
}

void Name(QWidget* widget, const QString& name, const QRect& geometry) {
  widget->setObjectName(name);
  widget->setGeometry(geometry);
}

QFrame* NewPanel(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* panel = new QFrame(parent);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setLineWidth(1);
  panel->setAutoFillBackground(true);
  Name(panel, name, geometry);
  return panel;
}

QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry) {
  auto* button = new QPushButton(caption, parent);
  button->setAutoDefault(false);
  Name(button, name, geometry);
  return button;
}

QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  Name(label, name, geometry);
  return label;
}

QLabel* NewSunkenLabel(QWidget* parent, const QString& name, const QString& text,
                       const QRect& geometry) {
  QLabel* label = NewLabel(parent, name, text, geometry);
  label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label->setAutoFillBackground(true);
  return label;
}

void HoldSize(QWidget* widget) { widget->setFixedSize(widget->size()); }

void SetGeometry(QWidget* widget, const QRect& geometry) {
  if (widget->minimumSize() == widget->maximumSize()) widget->setFixedSize(geometry.size());
  widget->setGeometry(geometry);
}

QCheckBox* NewCheckBox(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry) {
  auto* box = new QCheckBox(caption, parent);
  Name(box, name, geometry);
  return box;
}

QRadioButton* NewRadio(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry) {
  auto* radio = new QRadioButton(caption, parent);
  Name(radio, name, geometry);
  return radio;
}

LimitedEdit* NewEdit(QWidget* parent, const QString& name, const QRect& geometry,
                     int userMaxLength) {
  auto* edit = new LimitedEdit(parent);
  edit->SetUserMaxLength(userMaxLength);
  Name(edit, name, geometry);
  return edit;
}

QComboBox* NewPortCombo(QWidget* parent, const QString& name, const QStringList& items,
                        int selected, const QRect& geometry) {
  auto* combo = new QComboBox(parent);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  // The value must show whole in the narrow box: a narrow drop-down button
  // and no margins inside the edit.
  combo->setStyle(NarrowComboStyle::Shared());
  combo->lineEdit()->setTextMargins(0, 0, 0, 0);
  combo->addItems(items);
  combo->setCurrentIndex(selected);
  Name(combo, name, geometry);
  return combo;
}

QListWidget* NewList(QWidget* parent, const QString& name, const QRect& geometry) {
  auto* list = new QListWidget(parent);
  Name(list, name, geometry);
  return list;
}

}  // namespace velmora::ui
