#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include "layout/layout_pass.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace velmora::ui {

class LimitedEdit;

// Small builders for the form: each names the control, places it at its
// design bounds in its parent and sets its design text.

// The design left and width of a control the layout pass moves, with a top
// and height of the caller's.
QRect DesignRect(Placed control, int top, int height);

void Name(QWidget* widget, const QString& name, const QRect& geometry);

// A raised panel filled with the form's background colour.
QFrame* NewPanel(QWidget* parent, const QString& name, const QRect& geometry);
QPushButton* NewButton(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry);
QLabel* NewLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry);
// A label with a sunken border whose background can be coloured.
QLabel* NewSunkenLabel(QWidget* parent, const QString& name, const QString& text,
                       const QRect& geometry);
// Fixes a control at its present size. A label's new text otherwise asks its
// parent for a layout (an event, and a wake-up of the event loop) although
// nothing here is laid out by Qt: for the counters and the clock that was a
// wake-up on every packet and every second. SetGeometry keeps such a control
// fixed when the layout pass moves it.
void HoldSize(QWidget* widget);
// setGeometry for a control that may be held at its size.
void SetGeometry(QWidget* widget, const QRect& geometry);
QCheckBox* NewCheckBox(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry);
QRadioButton* NewRadio(QWidget* parent, const QString& name, const QString& caption,
                       const QRect& geometry);
// userMaxLength 0: no limit on what the user types.
LimitedEdit* NewEdit(QWidget* parent, const QString& name, const QRect& geometry,
                     int userMaxLength = 0);
// An editable combo box whose typed text never becomes an item.
QComboBox* NewPortCombo(QWidget* parent, const QString& name, const QStringList& items,
                        int selected, const QRect& geometry);
QListWidget* NewList(QWidget* parent, const QString& name, const QRect& geometry);

}  // namespace velmora::ui
