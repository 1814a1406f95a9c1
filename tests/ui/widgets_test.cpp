#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/hover_tracker.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {

class WidgetsTest : public QObject {
  Q_OBJECT

 private:
  // Shows a widget on its own and waits until it can take input.
  static void Show(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&widget));
  }

 private slots:
  void limitedEditCutsWhatTheUserTypes() {
    LimitedEdit edit;
    edit.SetUserMaxLength(5);
    Show(edit);
    QTest::keyClicks(&edit, QStringLiteral("1234567"));
    QCOMPARE(edit.text(), QStringLiteral("12345"));
    QCOMPARE(edit.cursorPosition(), 5);
  }

  void limitedEditShowsALongerProgramTextWhole() {
    LimitedEdit edit;
    edit.SetUserMaxLength(5);
    Show(edit);
    edit.setText(QStringLiteral("abcdefgh"));
    QCOMPARE(edit.text(), QStringLiteral("abcdefgh"));
    edit.end(false);
    QTest::keyClicks(&edit, QStringLiteral("x"));
    QCOMPARE(edit.text(), QStringLiteral("abcdefgh"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClicks(&edit, QStringLiteral("y"));
    QCOMPARE(edit.text(), QStringLiteral("abcdefg"));
  }

  void limitedEditCutsAPasteToTheRoomLeft() {
    LimitedEdit edit;
    edit.SetUserMaxLength(5);
    Show(edit);
    edit.setText(QStringLiteral("abcd"));
    edit.setCursorPosition(2);
    QApplication::clipboard()->setText(QStringLiteral("XYZ"));
    edit.paste();
    QCOMPARE(edit.text(), QStringLiteral("abXcd"));
    QCOMPARE(edit.cursorPosition(), 3);
  }

  void limitedEditLetsATypedReplacementThrough() {
    LimitedEdit edit;
    edit.SetUserMaxLength(5);
    Show(edit);
    edit.setText(QStringLiteral("abcde"));
    edit.selectAll();
    QTest::keyClicks(&edit, QStringLiteral("qr"));
    QCOMPARE(edit.text(), QStringLiteral("qr"));
  }

  void limitedEditWithoutLimitTakesLongLines() {
    LimitedEdit edit;
    Show(edit);
    const QString line(400, u'z');
    QApplication::clipboard()->setText(line);
    edit.paste();
    QCOMPARE(edit.text(), line);
  }

  void upDownArrowsReportTheDirection() {
    UpDownArrows arrows;
    arrows.resize(15, 21);
    Show(arrows);
    QSignalSpy spy(&arrows, &UpDownArrows::clicked);
    QTest::mouseClick(arrows.UpButton(), Qt::LeftButton);
    QTest::mouseClick(arrows.DownButton(), Qt::LeftButton);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
  }

  void clickableLabelReportsClicksAndDoubleClicks() {
    ClickableLabel label;
    label.resize(40, 20);
    Show(label);
    QSignalSpy clicks(&label, &ClickableLabel::clicked);
    QSignalSpy doubles(&label, &ClickableLabel::doubleClicked);
    QTest::mouseClick(&label, Qt::LeftButton);
    QCOMPARE(clicks.count(), 1);
    QTest::mouseDClick(&label, Qt::LeftButton);
    QCOMPARE(doubles.count(), 1);
  }

  void clickableLabelIgnoresAReleaseOutside() {
    ClickableLabel label;
    label.resize(40, 20);
    Show(label);
    QSignalSpy clicks(&label, &ClickableLabel::clicked);
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(100, 10));
    QCOMPARE(clicks.count(), 0);
  }

  void comboBoxReportsASecondPressOnItsOpenPopup() {
    DoubleClickComboBox combo;
    combo.addItems({QStringLiteral("first"), QStringLiteral("second")});
    combo.resize(200, 30);
    Show(combo);
    QSignalSpy spy(&combo, &DoubleClickComboBox::doubleClicked);
    const QPoint press(100, 15);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, press);
    QVERIFY(combo.view()->isVisible());
    QWidget* viewport = combo.view()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {},
                      viewport->mapFromGlobal(combo.mapToGlobal(press)));
    QCOMPARE(spy.count(), 1);
    QVERIFY(!combo.view()->isVisible());
    QCOMPARE(combo.currentIndex(), 0);
  }

  void comboBoxTakesAPressElsewhereAsAChoice() {
    DoubleClickComboBox combo;
    combo.addItems({QStringLiteral("first"), QStringLiteral("second")});
    combo.resize(200, 30);
    Show(combo);
    QSignalSpy spy(&combo, &DoubleClickComboBox::doubleClicked);
    QTest::mouseClick(&combo, Qt::LeftButton, {}, QPoint(100, 15));
    QVERIFY(combo.view()->isVisible());
    QAbstractItemView* view = combo.view();
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center());
    QCOMPARE(spy.count(), 0);
  }

  void hoverTrackerReportsOnlyAPanelsOwnArea() {
    QFrame panel;
    panel.resize(300, 100);
    auto* button = new QPushButton(QStringLiteral("b"), &panel);
    button->setGeometry(10, 10, 60, 25);
    auto* label = new QLabel(QStringLiteral("l"), &panel);
    label->setGeometry(100, 10, 60, 25);
    HoverTracker tracker;
    tracker.Watch(&panel);
    tracker.Watch(button);
    Show(panel);
    QSignalSpy spy(&tracker, &HoverTracker::mouseMoved);

    QTest::mouseMove(&panel, QPoint(30, 20));  // over the button
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<QWidget*>(), button);
    QTest::mouseMove(&panel, QPoint(120, 20));  // over the unwatched label
    QCOMPARE(spy.count(), 1);
    QTest::mouseMove(&panel, QPoint(250, 80));  // free area
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).value<QWidget*>(), &panel);
    QCOMPARE(spy.at(1).at(1).toPoint(), panel.mapToGlobal(QPoint(250, 80)));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::WidgetsTest)
#include "widgets_test.moc"
