// The sent-command history in the real window: what sending records, what
// the two lists show, and the keys of the console, the tail and the
// drop-downs, with the bytes the simulated device receives.

#include <QFile>
#include <QFocusEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <vector>

#include "macro_window.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/log_window.h"

namespace velmora::ui {
namespace {

using Texts = std::vector<Bytes>;

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

QStringList ToStrings(const Texts& texts) {
  QStringList strings;
  for (const Bytes& text : texts) strings << ToQString(text);
  return strings;
}

// A history as the file "OldCmd" gives it, entry 1 first; "" is a free slot.
void LoadHistory(SentHistory& history, const Texts& entries) {
  std::vector<std::uint8_t> image(SentHistory::kImageSize, 0);
  for (std::size_t n = 0; n < entries.size(); ++n) {
    image[n * SentHistory::kRecordSize] = static_cast<std::uint8_t>(entries[n].size());
    for (std::size_t i = 0; i < entries[n].size(); ++i) {
      image[n * SentHistory::kRecordSize + 1 + i] = ByteAt(entries[n], i);
    }
  }
  history.LoadRecords(image.data(), image.size());
}

Texts Numbered(int count) {
  Texts texts;
  for (int i = 1; i <= count; ++i) {
    // Appended, not prefixed: "c" + std::to_string(i) inserts at the front,
    // where GCC 12 reports a false -Wrestrict at -O2 and above.
    std::string text = "c";
    text += std::to_string(i);
    texts.push_back(std::move(text));
  }
  return texts;
}

Texts Concat(Texts a, const Texts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

void Select(QListWidget* list, int row) {
  list->setCurrentRow(row);
  QVERIFY(list->item(row)->isSelected());
}

}  // namespace

class HistoryListsTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MacroWindow> app_;

  MainForm& Form() { return app_->Form(); }
  SentHistory& History() { return app_->window->Term().History(); }

  void StartWithHistory(const Texts& entries) {
    app_->Start();
    LoadHistory(History(), entries);
    app_->Lists().ReadOldCmd();
  }

  // The packets sent so far, as the log shows them.
  QStringList Sent() { return Form().MainWindow->Entries(); }

  void ClickRow(int row) {
    QListWidget* list = Form().OldCmdList;
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  }

 private slots:
  void init() { app_ = std::make_unique<MacroWindow>(); }
  void cleanup() { app_.reset(); }

  void sendingRecordsByTheHistoryRule_data() {
    QTest::addColumn<Texts>("loaded");
    QTest::addColumn<Texts>("sent");
    QTest::addColumn<Texts>("shown");
    const Texts full = Numbered(50);
    const Texts fortyNine(full.begin(), full.end() - 1);
    QTest::newRow("B moves up, then D goes on top")
        << Texts{"A", "B", "C"} << Texts{"B", "D"} << Texts{"D", "B", "A", "C"};
    QTest::newRow("a new command drops entry 50")
        << full << Texts{"new"} << Concat({"new"}, fortyNine);
    QTest::newRow("entry 50 re-sent drops nothing")
        << full << Texts{"c50"} << Concat({"c50"}, fortyNine);
    QTest::newRow("the higher copy of a duplicate from the file goes")
        << Texts{"A", "B", "A"} << Texts{"A"} << Texts{"A", "A", "B"};
    QTest::newRow("255 characters are sent but not recorded")
        << Texts{"A"} << Texts{Bytes(255, 'x'), Bytes(300, 'y')} << Texts{"A"};
    QTest::newRow("254 characters are recorded")
        << Texts{"A"} << Texts{Bytes(254, 'z')} << Texts{Bytes(254, 'z'), "A"};
    QTest::newRow("empty slots are not shown")
        << Texts{"", "A", "", "B"} << Texts{"C"} << Texts{"C", "A", "B"};
  }
  void sendingRecordsByTheHistoryRule() {
    QFETCH(Texts, loaded);
    QFETCH(Texts, sent);
    QFETCH(Texts, shown);
    StartWithHistory(loaded);
    app_->Connect();
    // The filter hides every line: recording comes before it.
    Form().FiltrLog->setText(QStringLiteral("no line has this"));
    for (const Bytes& command : sent) app_->window->SendPortData(command);
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Down);
    QCOMPARE(Items(Form().FastOldCmd), ToStrings(shown));
    QCOMPARE(Items(Form().OldCmdList), ToStrings(shown));
  }

  void nothingIsRecordedWhileDisconnected() {
    StartWithHistory({"A"});
    app_->window->SendPortData("B");
    QCOMPARE(History().Shown(), Texts{"A"});
  }

  void theStartUpShowsTheEntriesOfTheFileWithoutEmptySlots() {
    QFile file(QStringLiteral("OldCmd"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QByteArray image(static_cast<qsizetype>(SentHistory::kImageSize), '\0');
    image.replace(256, 2, QByteArray("\x01X", 2));
    image.replace(256 * 3, 3, QByteArray("\x02YZ", 3));
    file.write(image);
    file.close();
    app_->Start();
    QCOMPARE(Items(Form().FastOldCmd), (QStringList{"X", "YZ"}));
    QCOMPARE(Items(Form().OldCmdList), (QStringList{"X", "YZ"}));
  }

  void theConsolesDownArrowOpensTheDropDownAndEnterCopiesWithoutSending() {
    StartWithHistory({"first", "second", "third"});
    app_->Connect();
    Form().MainStrCmd->setFocus();
    QTest::keyPress(Form().MainStrCmd, Qt::Key_Down);
    QVERIFY(!Form().FastOldCmd->isVisible());  // it opens on the release
    QTest::keyRelease(Form().MainStrCmd, Qt::Key_Down);
    QVERIFY(Form().FastOldCmd->isVisible());
    QVERIFY(Form().FastOldCmd->hasFocus());
    QCOMPARE(Form().FastOldCmd->y(), Form().MainStrCmd->geometry().bottom() + 1);

    QTest::keyClick(Form().FastOldCmd, Qt::Key_Return);  // nothing highlighted: nothing
    QVERIFY(Form().FastOldCmd->isVisible());
    QTest::keyClick(Form().FastOldCmd, Qt::Key_Down);
    QTest::keyClick(Form().FastOldCmd, Qt::Key_Down);
    QTest::keyClick(Form().FastOldCmd, Qt::Key_Return);
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("second"));
    QVERIFY(!Form().FastOldCmd->isVisible());
    QVERIFY(Form().MainStrCmd->hasFocus());
    QVERIFY(Sent().isEmpty());
  }

  void escClosesTheDropDownAndKeepsTheConsole() {
    StartWithHistory({"first"});
    Form().MainStrCmd->setText(QStringLiteral("typed"));
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Down);
    QTest::keyClick(Form().FastOldCmd, Qt::Key_Down);
    QTest::keyClick(Form().FastOldCmd, Qt::Key_Escape);
    QVERIFY(!Form().FastOldCmd->isVisible());
    QVERIFY(Form().MainStrCmd->hasFocus());
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("typed"));
  }

  void theDropDownsCloseWhenAnotherControlTakesTheFocus() {
    app_->Start();
    QTest::keyClick(Form().MainStrCmd, Qt::Key_Down);
    QFocusEvent windowLeft(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QCoreApplication::sendEvent(Form().FastOldCmd, &windowLeft);
    QVERIFY(Form().FastOldCmd->isVisible());
    Form().AddStrCmd->setFocus(Qt::MouseFocusReason);
    QVERIFY(!Form().FastOldCmd->isVisible());

    QTest::keyClick(Form().AddStrCmd, Qt::Key_Down);
    QVERIFY(Form().LBTail->isVisible());
    QCoreApplication::sendEvent(Form().LBTail, &windowLeft);
    QVERIFY(Form().LBTail->isVisible());
    Form().MainStrCmd->setFocus(Qt::TabFocusReason);
    QVERIFY(!Form().LBTail->isVisible());
  }

  void theArrowLabelsToggleTheirDropDowns() {
    StartWithHistory({"A"});
    LoadHistory(History(), {"B", "A"});
    QTest::mouseClick(Form().Str1, Qt::LeftButton);
    QVERIFY(Form().FastOldCmd->isVisible());
    QVERIFY(Form().FastOldCmd->hasFocus());
    QCOMPARE(Items(Form().FastOldCmd), (QStringList{"B", "A"}));
    QTest::mouseClick(Form().Str1, Qt::LeftButton);
    QVERIFY(!Form().FastOldCmd->isVisible());

    QTest::mouseClick(Form().Str2, Qt::LeftButton);
    QVERIFY(Form().LBTail->isVisible());
    QVERIFY(Form().LBTail->hasFocus());
    QTest::mouseClick(Form().Str2, Qt::LeftButton);
    QVERIFY(!Form().LBTail->isVisible());
  }

  void theTailSwallowsEnterAndEmptiesOnEsc() {
    app_->Start();
    app_->Connect();
    QTest::keyClick(Form().AddStrCmd, Qt::Key_Return);
    QCOMPARE(Form().AddStrCmd->text(), QStringLiteral("$0D"));
    QVERIFY(Sent().isEmpty());
    QTest::keyClick(Form().AddStrCmd, Qt::Key_Escape);
    QCOMPARE(Form().AddStrCmd->text(), QString());
  }

  void enterInThePickerReplacesTheWholeTail() {
    app_->Start();
    QTest::keyClick(Form().AddStrCmd, Qt::Key_Down);
    QVERIFY(Form().LBTail->hasFocus());
    QTest::keyClick(Form().LBTail, Qt::Key_Return);  // nothing highlighted: nothing
    QVERIFY(Form().LBTail->isVisible());
    QTest::keyClick(Form().LBTail, Qt::Key_Down);
    QTest::keyClick(Form().LBTail, Qt::Key_Return);
    QCOMPARE(Form().AddStrCmd->text(), QStringLiteral("[SUM_8(0..n)]"));
    QVERIFY(!Form().LBTail->isVisible());
    QVERIFY(Form().AddStrCmd->hasFocus());

    Form().AddStrCmd->setText(QStringLiteral("$0D"));
    QTest::keyClick(Form().AddStrCmd, Qt::Key_Down);
    QTest::keyClick(Form().LBTail, Qt::Key_Down);
    QTest::keyClick(Form().LBTail, Qt::Key_Escape);
    QCOMPARE(Form().AddStrCmd->text(), QStringLiteral("$0D"));
    QVERIFY(Form().AddStrCmd->hasFocus());
  }

  void thePanelListFillsTheConsoleInManualMode() {
    StartWithHistory({"A", "B"});
    Form().OldCommandsBT->click();
    ClickRow(1);
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("B"));
    QVERIFY(Form().MainStrCmd->hasFocus());
    QVERIFY(Form().OldCmdList->isEnabled());
    QCOMPARE(app_->dialogs.portErrors, 0);
  }

  void thePanelListSendsEachChoiceOnceInOnSelectMode() {
    StartWithHistory({"A", "B", "C"});
    app_->Connect();
    QTest::mouseClick(Form().RBSel, Qt::LeftButton);
    Form().OldCommandsBT->click();
    QListWidget* list = Form().OldCmdList;

    ClickRow(1);
    QCOMPARE(app_->Wire(2), std::string("B\r"));
    QCOMPARE(Items(list), (QStringList{"B", "A", "C"}));  // refilled: the panel shows
    QVERIFY(Form().MainStrCmd->hasFocus());

    Select(list, 2);  // the entry already highlighted counts again
    ClickRow(2);
    QCOMPARE(app_->Wire(4), std::string("B\rC\r"));
    QCOMPARE(Items(list), (QStringList{"C", "B", "A"}));
    list->setFocus(Qt::TabFocusReason);   // taking the focus chooses nothing
    QTest::keyClick(list, Qt::Key_Down);  // nothing current after the refill: the first
    QCOMPARE(app_->Wire(6), std::string("B\rC\rC\r"));
    QVERIFY(Form().MainStrCmd->hasFocus());
    Select(list, 0);
    list->setFocus(Qt::TabFocusReason);
    QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(app_->Wire(8), std::string("B\rC\rC\rB\r"));
    QCOMPARE(Sent(), (QStringList{"B\r", "C\r", "C\r", "B\r"}));
    QCOMPARE(Items(list), (QStringList{"B", "C", "A"}));
    QVERIFY(list->isEnabled());
  }

  void theHistoryButtonSwapsThePanelAndTheListControls() {
    StartWithHistory({"A"});
    Form().OldCommandsBT->click();
    QVERIFY(app_->Lists().HistoryPanelShown());
    QVERIFY(Form().OldCmdList->isVisible());
    for (QWidget* w :
         {static_cast<QWidget*>(Form().EditAllCmd), static_cast<QWidget*>(Form().CBLists),
          static_cast<QWidget*>(Form().ButtonReadFile), static_cast<QWidget*>(Form().RBName),
          static_cast<QWidget*>(Form().RbData)}) {
      QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }
    Form().OldCommandsBT->click();
    QVERIFY(!app_->Lists().HistoryPanelShown());
    QVERIFY(!Form().OldCmdList->isVisible());
    QVERIFY(Form().EditAllCmd->isVisible() && Form().CBLists->isVisible() &&
            Form().RbData->isVisible());
  }

  void theDropDownKeepsTheConsolesWidth() {
    app_->Start();
    app_->window->resize(app_->window->width() + 70, app_->window->height());
    app_->window->CustomFunctionsTimer();
    QCOMPARE(Form().FastOldCmd->width(), Form().MainStrCmd->width());
    QCOMPARE(Form().FastOldCmd->width(), 641 + 70);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::HistoryListsTest)
#include "history_lists_test.moc"
