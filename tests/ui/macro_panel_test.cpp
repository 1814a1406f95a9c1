// The macro panel in the real window: the slots, the two views, the list
// controls, the store behind them and the file they are saved to.

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "macro_window.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"

namespace velmora::ui {
namespace {

QString Text(const Bytes& bytes) { return ToQString(bytes); }

QRect SlotBounds(int m) {
  const int column = (m - 1) / 8;
  const int row = (m - 1) % 8;
  return {8 + 88 * column, 72 + 24 * row, column == 5 ? 201 : 89, 25};
}

QStringList HelpLines(MainForm& form) {
  QStringList lines;
  for (const QLabel* line : form.STH) lines << line->text();
  return lines;
}

// The list record n as the file holds it.
QByteArray Record(const QByteArray& file, int n) {
  return file.mid(static_cast<qsizetype>(kListRecordSize) * (n - 1),
                  static_cast<qsizetype>(kListRecordSize));
}

int LengthByte(char byte) { return static_cast<unsigned char>(byte); }

struct ViewRow {
  const char* name;
  QWidget* control;
  bool normal;
  bool editor;
};

}  // namespace

class MacroPanelTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<MacroWindow> app_;

  MainForm& Form() { return app_->Form(); }
  MacroPanel& Panel() { return app_->Panel(); }
  CmdListStore& Store() { return app_->Store(); }

  void Start() { app_->Start(); }

  std::vector<ViewRow> ViewTable() {
    MainForm& f = Form();
    return {{"CBLists", f.CBLists, true, false},
            {"ListNameEDT", f.ListNameEDT, false, true},
            {"DelList", f.DelList, false, true},
            {"ListInc", f.ListInc, false, true},
            {"ListDec", f.ListDec, false, true},
            {"STLog", f.STLog, true, false},
            {"SaveF", f.SaveF, false, true},
            {"StaticText1", f.StaticText1, false, true},
            {"ButtonReadFile", f.ButtonReadFile, true, false},
            {"EditAllCmd", f.EditAllCmd, true, true},
            {"RBName", f.RBName, true, true},
            {"RbData", f.RbData, true, true}};
  }

  void CheckView(bool editor) {
    for (const ViewRow& row : ViewTable()) {
      QVERIFY2(row.control->isVisible() == (editor ? row.editor : row.normal), row.name);
    }
    for (int m = 1; m <= 48; ++m) {
      QCOMPARE(app_->Button(m)->isVisible(), !editor);
      QCOMPARE(app_->Edit(m)->isVisible(), editor);
    }
    QCOMPARE(Form().EditAllCmd->text(),
             editor ? QStringLiteral("Назад") : QStringLiteral("Редактор"));
    QCOMPARE(Panel().EditorMode(), editor);
  }

 private slots:
  void init() { app_ = std::make_unique<MacroWindow>(); }
  void cleanup() { app_.reset(); }

  void firstStartWritesTheRebuiltListsAfterItsMessage() {
    Start();
    QCOMPARE(app_->dialogs.messages,
             QStringList{"Проблема с файлом конфигурации, он будет перезаписан"});
    QCOMPARE(app_->dialogs.cmdConfigAtMessage, std::vector<bool>{false});
    const QByteArray file = MacroWindow::CmdConfigBytes();
    QCOMPARE(file.size(), qsizetype{10258000});
    QCOMPARE(Record(file, 7).left(7), QByteArray("\x06List 7", 7));
    QCOMPARE(Panel().CurList(), 1);
    QCOMPARE(Form().CBLists->count(), 100);
    QCOMPARE(Form().CBLists->itemText(99), QStringLiteral("List 100"));
    QCOMPARE(Form().CBLists->currentIndex(), 0);
    QCOMPARE(Form().STListName->text(), QStringLiteral("List 1"));
    QCOMPARE(app_->Button(1)->text(), QString());
  }

  void aSoundFileLoadsWithoutAMessage() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) { s.SetCmdName(1, 2, "two"); });
    const QByteArray before = MacroWindow::CmdConfigBytes();
    Start();
    QVERIFY(app_->dialogs.messages.isEmpty());
    QCOMPARE(app_->Button(2)->text(), QStringLiteral("two"));
    QCOMPARE(MacroWindow::CmdConfigBytes(), before);
  }

  void anUnreadableFileIsReportedAndNeverSavedOver() {
    QVERIFY(QDir().mkdir(QStringLiteral("CmdConfig")));
    Start();
    QVERIFY(!Panel().ListsLoaded());
    QCOMPARE(app_->dialogs.messages.size(), 1);
    QCOMPARE(app_->dialogs.messages[0],
             QStringLiteral("Не удалось прочитать файл «CmdConfig»: это каталог"));
    Form().EditAllCmd->click();
    Form().EditAllCmd->click();  // leaving saves, which is refused
    QCOMPARE(app_->dialogs.messages.size(), 2);
    QCOMPARE(app_->dialogs.messages[1],
             QStringLiteral("Не удалось записать файл «CmdConfig»: списки команд не были прочитаны "
                            "полностью при запуске, запись затёрла бы файл"));
    QVERIFY(QFileInfo(QStringLiteral("CmdConfig")).isDir());
  }

  void slotsStandInSixColumnsOfEightInBothViews() {
    Start();
    for (bool editor : {false, true}) {
      if (editor) Form().EditAllCmd->click();
      for (int m = 1; m <= 48; ++m) {
        QWidget* slot = editor ? static_cast<QWidget*>(app_->Edit(m)) : app_->Button(m);
        QCOMPARE(slot->geometry(), SlotBounds(m));
        QCOMPARE(slot->parentWidget(), Form().MainPanel);
      }
    }
  }

  void aClickInManualModeTakesTheCommandLineIntoTheConsole() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) {
      s.SetCmdName(1, 3, "Reset");
      s.SetCmdData(1, 3, "AT+RST");
    });
    Start();
    QCOMPARE(app_->Button(3)->text(), QStringLiteral("Reset"));
    QCOMPARE(app_->Button(3)->toolTip(), QStringLiteral("AT+RST"));
    QTest::mouseClick(app_->Button(3), Qt::LeftButton);
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("AT+RST"));
    QVERIFY(Form().MainStrCmd->hasFocus());
    QTest::mouseClick(app_->Button(4), Qt::LeftButton);  // an empty slot empties the console
    QCOMPARE(Form().MainStrCmd->text(), QString());
    QCOMPARE(app_->dialogs.portErrors, 0);
    QVERIFY(app_->window->Term().History().Shown().empty());
  }

  void aClickInOnSelectModeSendsTheCommandLineAtOnce() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) {
      s.SetCmdName(1, 9, "Ping");
      s.SetCmdData(1, 9, "PING");
      s.SetCmdData(1, 48, "$41");
    });
    Start();
    QTest::mouseClick(Form().RBSel, Qt::LeftButton);
    QTest::mouseClick(app_->Button(2), Qt::LeftButton);  // empty, disconnected: the error window
    QCOMPARE(app_->dialogs.portErrors, 1);
    app_->Connect();
    Form().MainStrCmd->setText(QStringLiteral("console"));
    QTest::mouseClick(app_->Button(9), Qt::LeftButton);
    QCOMPARE(app_->Wire(5), std::string("PING\r"));
    QVERIFY(Form().ButtonSend->hasFocus());
    QCOMPARE(Form().MainStrCmd->text(), QStringLiteral("console"));
    QTest::mouseClick(app_->Button(48), Qt::LeftButton);
    QCOMPARE(app_->Wire(9), std::string("PING\r$41\r"));
    QCOMPARE(app_->window->Term().History().Shown(), (std::vector<Bytes>{"$41", "PING"}));
  }

  void theEditorViewShowsAndHidesItsControls() {
    Start();
    CheckView(false);
    Form().CBLists->doubleClicked();  // STListName shown instead of the combo box
    QVERIFY(Form().STListName->isVisible());
    Form().EditAllCmd->click();
    CheckView(true);
    QVERIFY(Form().STListName->isVisible());  // left as it was
    Form().EditAllCmd->click();
    CheckView(false);
    QVERIFY(!Form().STListName->isVisible());
  }

  void theListNameLabelAndTheComboBoxSwapOnDoubleClicks() {
    Start();
    Form().CBLists->doubleClicked();
    QVERIFY(!Form().CBLists->isVisible());
    QCOMPARE(Form().STListName->text(), QStringLiteral("List 1"));
    Panel().filePanelShown = [] { return true; };
    Form().STListName->doubleClicked();
    QVERIFY(Form().STListName->isVisible());
    Panel().filePanelShown = [] { return false; };
    Form().STListName->doubleClicked();
    QVERIFY(Form().CBLists->isVisible());
    QVERIFY(!Form().STListName->isVisible());
  }

  void eachKeystrokeReachesTheStoreAtOnceWithinTheTypingLimit() {
    Start();
    Form().EditAllCmd->click();
    QTest::keyClicks(app_->Edit(5), "abc");
    QCOMPARE(Store().GetCmdName(1, 5), Bytes("abc"));
    QCOMPARE(Panel().CurCmd(), 5);
    QTest::keyClicks(app_->Edit(6), QString(60, 'n'));
    QCOMPARE(Store().GetCmdName(1, 6), Bytes(50, 'n'));

    QTest::mouseClick(Form().RbData, Qt::LeftButton);
    QCOMPARE(app_->Edit(5)->text(), QString());
    QTest::keyClicks(app_->Edit(7), QString(260, 'd'));
    QCOMPARE(Store().GetCmdData(1, 7), Bytes(250, 'd'));
    QCOMPARE(Panel().CurCmd(), 7);
    QCOMPARE(Store().GetCmdName(1, 5), Bytes("abc"));
  }

  void theViewSwitchSwapsCaptionsHintsAndBoldAfterTheButtonIsChecked() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) {
      s.SetCmdName(1, 1, "Name & more");
      s.SetCmdData(1, 1, "LINE");
    });
    Start();
    QCOMPARE(app_->Button(1)->text(), QStringLiteral("Name && more"));
    QVERIFY(app_->Button(1)->font().bold() && app_->Edit(1)->font().bold());
    QTest::mouseClick(Form().RbData, Qt::LeftButton);
    QCOMPARE(app_->Button(1)->text(), QStringLiteral("LINE"));
    QCOMPARE(app_->Button(1)->toolTip(), QStringLiteral("Name & more"));
    QCOMPARE(app_->Edit(1)->text(), QStringLiteral("LINE"));
    QVERIFY(!app_->Button(1)->font().bold() && !app_->Edit(1)->font().bold());
    QCOMPARE(app_->Edit(1)->UserMaxLength(), 250);
    QTest::mouseClick(Form().RBName, Qt::LeftButton);
    QCOMPARE(app_->Edit(1)->text(), QStringLiteral("Name & more"));
    QCOMPARE(app_->Edit(1)->UserMaxLength(), 50);
    QCOMPARE(Store().GetCmdData(1, 1), Bytes("LINE"));
  }

  void clearingThenLeavingTheEditorWritesTheEmptiedList() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) {
      s.SetListName(1, "Mine");
      s.SetCmdName(1, 1, "n1");
    });
    Start();
    Form().EditAllCmd->click();
    Form().DelList->click();
    QCOMPARE(Form().ListNameEDT->text(), QStringLiteral("[1]"));
    QCOMPARE(app_->Edit(1)->text(), QString());
    Form().EditAllCmd->click();
    const QByteArray record = Record(MacroWindow::CmdConfigBytes(), 1);
    QCOMPARE(record.left(4), QByteArray("\x03[1]"));
    QCOMPARE(record.at(12248), '\0');  // the length byte of the first name
    QCOMPARE(Form().CBLists->itemText(0), QStringLiteral("[1]"));
  }

  void clearingThenClosingLeavesTheFileUnchanged() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) { s.SetCmdName(1, 1, "n1"); });
    const QByteArray before = MacroWindow::CmdConfigBytes();
    Start();
    Form().EditAllCmd->click();
    Form().DelList->click();
    QTest::keyClicks(app_->Edit(2), "typed");
    app_->window.reset();
    QCOMPARE(MacroWindow::CmdConfigBytes(), before);
  }

  void saveWritesTheStoreWithoutLeavingTheEditor() {
    Start();
    Form().EditAllCmd->click();
    QTest::keyClicks(app_->Edit(1), "kept");
    Form().SaveF->click();
    QVERIFY(Panel().EditorMode());
    QVERIFY(Form().SaveF->isEnabled());
    QCOMPARE(Record(MacroWindow::CmdConfigBytes(), 1).mid(12248, 5), QByteArray("\x04kept"));
  }

  void theArrowsStopAtTheFirstAndTheLastList() {
    Start();
    Form().EditAllCmd->click();
    QVERIFY(!Form().ListDec->isEnabled());
    QVERIFY(Form().ListInc->isEnabled());
    Panel().ListDecClick();
    QCOMPARE(Panel().CurList(), 1);
    for (int n = 2; n <= 100; ++n) {
      Form().ListInc->click();
      QCOMPARE(Panel().CurList(), n);
      QVERIFY(Form().ListDec->isEnabled());
      QCOMPARE(Form().ListInc->isEnabled(), n < 100);
    }
    Panel().ListIncClick();
    QCOMPARE(Panel().CurList(), 100);
    QCOMPARE(Form().CBLists->currentIndex(), 99);
    Form().ListDec->click();
    QCOMPARE(Panel().CurList(), 99);
    QVERIFY(Form().ListInc->isEnabled());
  }

  void choosingAListSetsBothArrows_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("decEnabled");
    QTest::addColumn<bool>("incEnabled");
    QTest::newRow("list 1") << 0 << false << true;
    QTest::newRow("list 50") << 49 << true << true;
    QTest::newRow("list 100") << 99 << true << false;
  }
  void choosingAListSetsBothArrows() {
    QFETCH(int, index);
    QFETCH(bool, decEnabled);
    QFETCH(bool, incEnabled);
    Start();
    Form().CBLists->setCurrentIndex(index);
    Form().CBLists->activated(index);
    QCOMPARE(Panel().CurList(), index + 1);
    QCOMPARE(Form().ListDec->isEnabled(), decEnabled);
    QCOMPARE(Form().ListInc->isEnabled(), incEnabled);
    QCOMPARE(Form().ListNameEDT->text(), QStringLiteral("List %1").arg(index + 1));
  }

  void aRenamedListKeepsItsNameWhenTheNextIsShown() {
    Start();
    Form().EditAllCmd->click();
    Form().ListNameEDT->selectAll();
    QTest::keyClicks(Form().ListNameEDT, "Renamed");
    Form().ListInc->click();
    QCOMPARE(Panel().CurList(), 2);
    QCOMPARE(Form().ListNameEDT->text(), QStringLiteral("List 2"));
    QCOMPARE(Form().CBLists->itemText(0), QStringLiteral("Renamed"));
    QCOMPARE(Store().GetListName(1), Bytes("Renamed"));
    Form().ListDec->click();
    QCOMPARE(Form().ListNameEDT->text(), QStringLiteral("Renamed"));
  }

  void longTextsFromTheFileSurviveViewSwitchesAndTheEditor() {
    const Bytes listName(151, 'L');
    const Bytes name(51, 'N');
    const Bytes line(251, 'D');
    MacroWindow::WriteCmdConfig([&](CmdListStore& s) {
      s.SetListName(1, listName);
      for (int m = 1; m <= 48; ++m) {
        s.SetCmdName(1, m, name);
        s.SetCmdData(1, m, line);
      }
    });
    Start();
    QCOMPARE(app_->Button(1)->text(), Text(name));
    QCOMPARE(Form().STListName->text(), Text(listName));
    QCOMPARE(Form().ListNameEDT->text(), Text(listName));
    QTest::mouseClick(Form().RbData, Qt::LeftButton);
    QCOMPARE(app_->Edit(48)->text(), Text(line));
    QTest::mouseClick(Form().RBName, Qt::LeftButton);
    Form().EditAllCmd->click();
    QTest::mouseClick(Form().RbData, Qt::LeftButton);
    Form().EditAllCmd->click();
    for (int m = 1; m <= 48; ++m) {
      QCOMPARE(Store().GetCmdName(1, m), name);
      QCOMPARE(Store().GetCmdData(1, m), line);
    }
    QCOMPARE(Store().GetListName(1), listName);
    const QByteArray record = Record(MacroWindow::CmdConfigBytes(), 1);
    QCOMPARE(LengthByte(record.at(0)), 151);
    QCOMPARE(LengthByte(record.at(152 + 252 * 47)), 251);
    QCOMPARE(LengthByte(record.at(12248 + 52 * 47)), 51);
  }

  void hoverAndFocusShowTheSlotsHelpLines() {
    MacroWindow::WriteCmdConfig([](CmdListStore& s) {
      for (int k = 1; k <= 12; ++k) s.SetCmdHelp(1, 10, k, "help " + std::to_string(k));
      s.SetCmdHelp(1, 11, 3, "only three");
    });
    Start();
    QStringList ten;
    for (int k = 1; k <= 12; ++k) ten << QStringLiteral("help %1").arg(k);
    QStringList eleven(12);
    eleven[2] = QStringLiteral("only three");

    QTest::mouseMove(app_->Button(10));
    QCOMPARE(HelpLines(Form()), ten);
    QTest::mouseMove(app_->Button(11));
    QCOMPARE(HelpLines(Form()), eleven);
    QTest::mouseMove(app_->Button(12));  // all empty: the panel goes blank
    QCOMPARE(HelpLines(Form()), QStringList(12));

    Form().EditAllCmd->click();
    QTest::mouseMove(app_->Edit(10));
    QCOMPARE(HelpLines(Form()), ten);
    app_->Edit(11)->setFocus();
    QCOMPARE(HelpLines(Form()), eleven);
  }

  void theDoubleClickOnASlotEditReachesTheEditorCallPoint() {
    Start();
    int opened = 0;
    Panel().showWindowEdtHelp = [&](int m) { opened = m; };
    Form().EditAllCmd->click();
    QTest::mouseDClick(app_->Edit(17), Qt::LeftButton);
    QCOMPARE(opened, 17);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::MacroPanelTest)
#include "macro_panel_test.moc"
