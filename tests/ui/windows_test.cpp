#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/dialogs.h"
#include "ui/info_window.h"
#include "ui/open_port_error_window.h"

namespace velmora::ui {
namespace {

// Pixels of the picture that are plainly red (the sign's border and text).
int RedPixels(const QImage& image) {
  int count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 150 && c.green() < 60 && c.blue() < 60) ++count;
    }
  }
  return count;
}

// Runs `answer` on the message box once it is shown, then asks `text`
// through the real dialogs.
bool AskAnswering(const std::function<void(QMessageBox&)>& answer) {
  QTimer::singleShot(0, [answer] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box != nullptr);
    answer(*box);
  });
  QtUserDialogs dialogs;
  return dialogs.AskYesNo(QStringLiteral("Закрыть?"));
}

}  // namespace

class WindowsTest : public QObject {
  Q_OBJECT

 private slots:
  void theYesNoQuestionHasRussianButtonsAndDefaultsToNo() {
    QStringList buttons;
    QString defaultButton;
    const bool answer = AskAnswering([&](QMessageBox& box) {
      for (QAbstractButton* button : box.buttons()) buttons.append(button->text());
      defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
      QCOMPARE(box.text(), QStringLiteral("Закрыть?"));
      QTest::keyClick(&box, Qt::Key_Return);
    });
    buttons.sort();
    QCOMPARE(buttons, (QStringList{QStringLiteral("Да"), QStringLiteral("Нет")}));
    QCOMPARE(defaultButton, QStringLiteral("Нет"));
    QVERIFY(!answer);  // Enter took the default
  }

  void theYesNoQuestionTakesYesAndTakesEscapeOrClosingAsNo() {
    QVERIFY(AskAnswering([](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); }));
    QVERIFY(!AskAnswering([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); }));
    QVERIFY(!AskAnswering([](QMessageBox& box) { box.close(); }));
  }

  void infoWindowShowsTheDescriptionAndVersion() {
    TInfo info;
    QCOMPARE(info.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(info.size(), QSize(581, 462));
    QCOMPARE(info.minimumSize(), info.maximumSize());
    QVERIFY(info.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(info.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QCOMPARE(info.palette().color(QPalette::Window), QColor(Qt::white));
    QCOMPARE(info.Description()->text(), QStringLiteral("Терминал для работы с COM-портом"));
    QCOMPARE(info.Description()->font().pixelSize(), 13);
    QVERIFY(info.Description()->font().bold());
    QCOMPARE(info.Version()->text(), QStringLiteral("Velmora v1.10"));
    QCOMPARE(info.Version()->font().pixelSize(), 24);
    QVERIFY(info.Version()->font().bold());
    QVERIFY(info.Description()->geometry().bottom() < info.Version()->y());
    QVERIFY(info.Version()->geometry().bottom() < 100);
  }

  void infoWindowLeavesTheFocusOnNoVisibleControl() {
    TInfo info;
    info.show();
    info.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&info));
    QWidget* focused = info.focusWidget();
    QVERIFY(focused == nullptr || !focused->isVisible());
  }

  void portErrorWindowHoldsThePictureAtItsNaturalSize() {
    TOpenPortError window;
    QCOMPARE(window.windowTitle(), QStringLiteral("OpenPortError"));
    QCOMPARE(window.size(), QSize(599, 499));
    QCOMPARE(window.minimumSize(), window.maximumSize());
    QVERIFY(window.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(window.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QCOMPARE(window.Picture()->geometry(), QRect(0, 0, 599, 499));
    QCOMPARE(window.Picture()->pixmap().size(), QSize(599, 499));
  }

  void drawsTheSameTwentyFourBitPictureEveryTime() {
    const QImage picture = TOpenPortError::DrawPicture();
    QCOMPARE(picture.size(), QSize(599, 499));
    QCOMPARE(picture.format(), QImage::Format_RGB888);
    QCOMPARE(picture.depth(), 24);
    QVERIFY(RedPixels(picture) > 5000);
    QCOMPARE(TOpenPortError::DrawPicture(), picture);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::WindowsTest)
#include "windows_test.moc"
