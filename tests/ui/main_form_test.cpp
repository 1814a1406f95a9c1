#include "ui/main_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <utility>

#include "app/help_texts.h"
#include "fake_user_dialogs.h"
#include "ui/main_window.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/clock_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "ui/widgets/up_down_arrows.h"
#include "window_fixture.h"

namespace velmora::ui {
namespace {

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

QStringList Items(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

QRect SlotBounds(int slot) {
  const int column = (slot - 1) / 8;
  const int row = (slot - 1) % 8;
  return {8 + 88 * column, 72 + 24 * row, column == 5 ? 201 : 89, 25};
}

}  // namespace

class MainFormTest : public QObject {
  Q_OBJECT

 private:
  // The window as a first start in an empty directory leaves it.
  std::unique_ptr<WindowFixture> app_;
  TForm1* window_ = nullptr;
  MainForm* form_ = nullptr;

  void ResizeClient(int width, int height) {
    window_->resize(width, height);
    QCoreApplication::processEvents();
    QCOMPARE(form_->size(), QSize(width, height));
  }

 private slots:
  void init() {
    app_ = std::make_unique<WindowFixture>();
    window_ = app_->window.get();
    form_ = &window_->Form();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
  }
  void cleanup() { app_.reset(); }

  void hasTheDesignTitleClientAreaAndFont() {
    QCOMPARE(window_->windowTitle(), QStringLiteral("Velmora v1.10"));
    QCOMPARE(form_->size(), QSize(943, 749));
    QCOMPARE(window_->centralWidget(), form_);
    QCOMPARE(form_->font().family(), QStringLiteral("DejaVu Sans"));
    QCOMPARE(form_->font().pixelSize(), 11);
    QCOMPARE(form_->palette().color(QPalette::Window), form_->palette().color(QPalette::Button));
  }

  void namesEveryControlAfterItsMember() {
    const std::vector<std::pair<QWidget*, const char*>> controls = {
        {form_->Panel1, "Panel1"},
        {form_->MainWindow, "MainWindow"},
        {form_->SecondWindow, "SecondWindow"},
        {form_->LogPanel, "LogPanel"},
        {form_->MainPanel, "MainPanel"},
        {form_->BTConnect, "BTConnect"},
        {form_->BTRescan, "BTRescan"},
        {form_->ComPort, "ComPort"},
        {form_->BaudRate, "BaudRate"},
        {form_->ComBits, "ComBits"},
        {form_->ComStopBits, "ComStopBits"},
        {form_->AutoConnect, "AutoConnect"},
        {form_->TimeOutRx, "TimeOutRx"},
        {form_->TimeOutAns, "TimeOutAns"},
        {form_->FiltrLog, "FiltrLog"},
        {form_->Srift, "Srift"},
        {form_->SriftText, "SriftText"},
        {form_->BTLog, "BTLog"},
        {form_->StartLog, "StartLog"},
        {form_->StartStop, "StartStop"},
        {form_->BTPalitra, "BTPalitra"},
        {form_->BtInfo, "BtInfo"},
        {form_->TextTime, "TextTime"},
        {form_->OutMode, "OutMode"},
        {form_->VisTime, "VisTime"},
        {form_->RBASCII, "RBASCII"},
        {form_->RBHEX, "RBHEX"},
        {form_->InputMode, "InputMode"},
        {form_->Label1, "Label1"},
        {form_->RBManual, "RBManual"},
        {form_->RBSel, "RBSel"},
        {form_->RBAfterAns, "RBAfterAns"},
        {form_->RBPeriod, "RBPeriod"},
        {form_->PeriodTX, "PeriodTX"},
        {form_->SendAsReconn, "SendAsReconn"},
        {form_->CiklSend, "CiklSend"},
        {form_->PStats, "PStats"},
        {form_->LSend, "LSend"},
        {form_->LRead, "LRead"},
        {form_->MinTimeWait, "MinTimeWait"},
        {form_->MaxTimeWait, "MaxTimeWait"},
        {form_->BTClrStat, "BTClrStat"},
        {form_->MainStrCmd, "MainStrCmd"},
        {form_->Str1, "Str1"},
        {form_->LPlus, "LPlus"},
        {form_->AddStrCmd, "AddStrCmd"},
        {form_->Str2, "Str2"},
        {form_->FastOldCmd, "FastOldCmd"},
        {form_->LBTail, "LBTail"},
        {form_->CBLists, "CBLists"},
        {form_->STListName, "STListName"},
        {form_->ListNameEDT, "ListNameEDT"},
        {form_->EditAllCmd, "EditAllCmd"},
        {form_->SaveF, "SaveF"},
        {form_->DelList, "DelList"},
        {form_->ListDec, "ListDec"},
        {form_->ListInc, "ListInc"},
        {form_->OldCommandsBT, "OldCommandsBT"},
        {form_->ButtonReadFile, "ButtonReadFile"},
        {form_->SendStart, "SendStart"},
        {form_->ButtonSend, "ButtonSend"},
        {form_->RBName, "RBName"},
        {form_->RbData, "RbData"},
        {form_->OldCmdList, "OldCmdList"},
        {form_->STLog, "STLog"},
        {form_->StaticText1, "StaticText1"},
        {form_->StaticText3, "StaticText3"},
    };
    for (const auto& [widget, name] : controls) {
      QVERIFY2(widget != nullptr, name);
      QCOMPARE(widget->objectName(), QString::fromLatin1(name));
      QCOMPARE(form_->findChild<QWidget*>(QString::fromLatin1(name)), widget);
    }
    for (int slot = 1; slot <= 48; ++slot) {
      const auto index = static_cast<std::size_t>(slot - 1);
      QCOMPARE(form_->Button[index]->objectName(), QStringLiteral("Button%1").arg(slot));
      QCOMPARE(form_->Edit[index]->objectName(), QStringLiteral("Edit%1").arg(slot));
      QCOMPARE(form_->Button[index]->property("slot").toInt(), slot);
      QCOMPARE(form_->Edit[index]->property("slot").toInt(), slot);
    }
    for (int line = 1; line <= 12; ++line) {
      QCOMPARE(form_->STH[static_cast<std::size_t>(line - 1)]->objectName(),
               QStringLiteral("STH%1").arg(line));
    }
  }

  void placesControlsInTheirRegions() {
    for (QWidget* control :
         std::initializer_list<QWidget*>{form_->BTConnect, form_->ComPort, form_->FiltrLog,
                                         form_->Srift, form_->BtInfo, form_->TimeOutAns}) {
      QCOMPARE(control->parentWidget(), form_->Panel1);
    }
    for (QWidget* control : std::initializer_list<QWidget*>{form_->TextTime, form_->OutMode,
                                                            form_->InputMode, form_->PStats}) {
      QCOMPARE(control->parentWidget(), form_->LogPanel);
    }
    QCOMPARE(form_->RBASCII->parentWidget(), form_->OutMode);
    QCOMPARE(form_->PeriodTX->parentWidget(), form_->InputMode);
    QCOMPARE(form_->BTClrStat->parentWidget(), form_->PStats);
    for (QWidget* control : std::initializer_list<QWidget*>{
             form_->MainStrCmd, form_->AddStrCmd, form_->CBLists, form_->Button[0], form_->Edit[47],
             form_->STH[11], form_->OldCmdList, form_->LBTail}) {
      QCOMPARE(control->parentWidget(), form_->MainPanel);
    }
  }

  void startsWithTheDesignVisibilityAndEnabledState() {
    const std::vector<QWidget*> hidden = {
        form_->SecondWindow, form_->FastOldCmd, form_->LBTail,        form_->STListName,
        form_->ListNameEDT,  form_->SaveF,      form_->DelList,       form_->ListDec,
        form_->ListInc,      form_->SendStart,  form_->OldCommandsBT, form_->CiklSend,
        form_->OldCmdList,   form_->StaticText1};
    for (QWidget* widget : hidden) QVERIFY2(!widget->isVisible(), qPrintable(widget->objectName()));
    for (LimitedEdit* edit : form_->Edit) QVERIFY(!edit->isVisible());
    const std::vector<QWidget*> shown = {
        form_->MainWindow,  form_->CBLists,    form_->EditAllCmd, form_->ButtonReadFile,
        form_->ButtonSend,  form_->RBName,     form_->RbData,     form_->STLog,
        form_->StaticText3, form_->TimeOutAns, form_->TextTime,   form_->PStats};
    for (QWidget* widget : shown) QVERIFY2(widget->isVisible(), qPrintable(widget->objectName()));
    for (QPushButton* button : form_->Button) QVERIFY(button->isVisible());
    for (QLabel* line : form_->STH) QVERIFY(line->isVisible());

    QVERIFY(!form_->ListDec->isEnabled());
    QVERIFY(form_->ListInc->isEnabled());
    QVERIFY(form_->MainWindow->isReadOnly());
    QVERIFY(!form_->SecondWindow->isReadOnly());
    QVERIFY(form_->RBASCII->isChecked());
    QVERIFY(form_->RBManual->isChecked());
    QVERIFY(form_->RBName->isChecked());
    QVERIFY(!form_->VisTime->isChecked());
    QVERIFY(!form_->AutoConnect->isChecked());
  }

  void showsTheDesignTextsAndHints_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    const auto row = [](const char* name, const QString& text, const QString& hint = {}) {
      QTest::newRow(name) << QString::fromLatin1(name) << text << hint;
    };
    row("BTConnect", QStringLiteral("Connect"));
    row("BTRescan", QStringLiteral("ReScan"));
    row("AutoConnect", QStringLiteral("AutoConnect"));
    // Start-up replaces the design caption "TimeRX: 10000" at once.
    row("TimeOutAns", QStringLiteral("TimeRX: 0"));
    row("FiltrLog", QString(), QStringLiteral("Фильтр сообщений"));
    row("BTLog", QStringLiteral("Clear"), QStringLiteral("Очистить окно лога"));
    row("StartLog", QStringLiteral("Start Log"));
    row("StartStop", QStringLiteral("||"), QStringLiteral("Остановить/продолжить вывод лога"));
    row("BTPalitra", QStringLiteral("Colors"), QStringLiteral("Цвет окна лога"));
    row("BtInfo", QStringLiteral("Info"));
    row("MainStrCmd", QString());
    row("LPlus", QStringLiteral("+"));
    row("AddStrCmd", QStringLiteral("$0D"),
        QStringLiteral("Примеры: $0D$0A, *[XOR_8(1..n)]$0D$0A. Список алгоритмов расчёта "
                       "контрольной суммы появляется при нажатии \"Стрелка вниз\". "));
    row("Str1", QStringLiteral("↓"));
    row("Str2", QStringLiteral("↓"));
    // Start-up shows list 1 on the panel and the introduction in the help lines.
    row("STListName", QStringLiteral("List 1"),
        QStringLiteral("Список откроется по двойному клику"));
    row("EditAllCmd", QStringLiteral("Редактор"));
    row("SaveF", QStringLiteral("Сохранить"), QStringLiteral("Сохранить все изменения в файл"));
    row("DelList", QStringLiteral("Очистить"), QStringLiteral("Очистить весь список команд"));
    row("ListDec", QStringLiteral("<<<<<"), QStringLiteral("Предыдущий список"));
    row("ListInc", QStringLiteral(">>>>>"), QStringLiteral("Следующий список"));
    row("OldCommandsBT", QStringLiteral("Отправленные"));
    row("ButtonReadFile", QStringLiteral("Из файла"));
    row("SendStart", QStringLiteral("Отправить из файла"));
    row("ButtonSend", QStringLiteral("Отправить"));
    row("RBName", QStringLiteral("Имя команды"));
    row("RbData", QStringLiteral("Командная строка"));
    row("Button1", QString());
    row("Button48", QString());
    row("Edit1", QString());
    row("Edit48", QString());
    row("STH1", QStringLiteral("Краткая справка по каждой команде"));
    row("STLog", QStringLiteral("Запись в файл не ведётся"));
    row("StaticText1",
        QStringLiteral("Двойной клик по команде откроет окно редактирования справки"));
    row("StaticText3", QStringLiteral("TX: 0, RX: 0"));
    row("VisTime", QStringLiteral("TIME + "));
    row("RBASCII", QStringLiteral("ASCII"), QStringLiteral("Пример: \"command\""));
    row("RBHEX", QStringLiteral("HEX"), QStringLiteral("Пример: \"00 01 02 03 0D 0E 12 13\""));
    row("Label1", QStringLiteral("Отправка:"));
    row("RBManual", QStringLiteral("Ручная"));
    row("RBAfterAns", QStringLiteral("После ответа"));
    row("RBSel", QStringLiteral("При выборе"));
    row("RBPeriod", QStringLiteral("Период, мс:"));
    row("PeriodTX", QStringLiteral("1000"));
    row("SendAsReconn", QStringLiteral("Отправить при соединении"));
    row("CiklSend", QStringLiteral("Циклическая отправка из файла"));
    row("LSend", QStringLiteral("Send: 0"),
        QStringLiteral("Число отправленных пакетов с учётом настроек фильтра"));
    row("LRead", QStringLiteral("Read: 0"),
        QStringLiteral("Число принятых пакетов с учётом настроек фильтра"));
    row("MinTimeWait", QStringLiteral("MIN_T_W:  NA"),
        QStringLiteral("Минимальное время между принятыми пакетами"));
    row("MaxTimeWait", QStringLiteral("MAX_T_W: NA"),
        QStringLiteral("Максимальное время между принятыми пакетами"));
    row("BTClrStat", QStringLiteral("0"), QStringLiteral("Обнулить статистику"));
  }
  void showsTheDesignTextsAndHints() {
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    const QWidget* control = form_->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->property("text").toString(), text);
    QCOMPARE(control->toolTip(), hint);
  }

  void hintsTheControlsWithoutText() {
    QCOMPARE(form_->ComPort->toolTip(), QStringLiteral("Port"));
    QCOMPARE(form_->BaudRate->toolTip(), QStringLiteral("BaudRate"));
    QCOMPARE(form_->ComBits->toolTip(), QStringLiteral("Bits"));
    QCOMPARE(form_->ComStopBits->toolTip(), QStringLiteral("StopBit"));
    QCOMPARE(form_->TimeOutRx->toolTip(),
             QStringLiteral("Временнй интервал разделения пакетов, мс"));
    QCOMPARE(form_->Srift->toolTip(), QStringLiteral("Размер шрифта"));
    QCOMPARE(form_->CBLists->toolTip(), QStringLiteral("Можно дважды кликнуть мышкой"));
  }

  // Every help text must fit its 261-pixel line: a cut line loses words.
  void showsEveryHelpLineWhole() {
    std::vector<const HelpPanelText*> texts = {&velmora::OutHelpHelp()};
    for (int topic = 0; topic < 13; ++topic) {
      texts.push_back(&HelpTopicText(static_cast<HelpTopic>(topic)));
    }
    for (const HelpPanelText* text : texts) {
      for (std::size_t line = 0; line < text->size(); ++line) {
        const QLabel* label = form_->STH[line];
        const int width = QFontMetrics(label->font()).horizontalAdvance(ToQString((*text)[line]));
        QVERIFY2(width <= label->contentsRect().width(), qPrintable(ToQString((*text)[line])));
      }
    }
  }

  void offersThePortSettingsAsTypableLists() {
    // The silent start-up scan found no port: the fallback list, nothing chosen.
    QCOMPARE(Items(form_->ComPort),
             (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"}));
    QCOMPARE(form_->ComPort->currentText(), QString());
    QVERIFY(app_->dialogs.messages.isEmpty());
    QCOMPARE(Items(form_->BaudRate),
             (QStringList{"1200", "2400", "4800", "9600", "19200", "38400", "57600", "115200"}));
    QCOMPARE(form_->BaudRate->currentIndex(), 0);
    QCOMPARE(Items(form_->ComBits), (QStringList{"5", "6", "7", "8"}));
    QCOMPARE(form_->ComBits->currentText(), QStringLiteral("8"));
    QCOMPARE(Items(form_->ComStopBits), (QStringList{"1", "1,5", "2"}));
    QCOMPARE(form_->ComStopBits->currentIndex(), 0);
    for (QComboBox* combo : {form_->ComPort, form_->BaudRate, form_->ComBits, form_->ComStopBits}) {
      QVERIFY(combo->isEditable());
      QCOMPARE(combo->insertPolicy(), QComboBox::NoInsert);
    }
    QVERIFY(!form_->CBLists->isEditable());
  }

  // The edit of a combo box scrolls a text that does not fit to its tail:
  // "115200" would read "15200". Each text needs its advance plus the edit's
  // own margin of 2 pixels each side and the 1-pixel cursor after it.
  void theTopBarComboBoxesShowTheirLongestValuesWhole() {
    const std::pair<QComboBox*, QString> cases[] = {
        {form_->BaudRate, QStringLiteral("115200")}, {form_->BaudRate, QStringLiteral("57600")},
        {form_->ComBits, QStringLiteral("8")},       {form_->ComStopBits, QStringLiteral("1,5")},
        {form_->ComPort, QStringLiteral("USB10")},   {form_->ComPort, QStringLiteral("ACM10")},
        {form_->ComPort, QStringLiteral("AMA10")},   {form_->ComPort, QStringLiteral("COM10")},
    };
    for (const auto& [box, text] : cases) {
      QCOMPARE(box->font().pixelSize(), 11);
      QCOMPARE(box->font().family(), QStringLiteral("DejaVu Sans"));
      const QLineEdit* edit = box->lineEdit();
      const QMargins margins = edit->textMargins();
      const int room = edit->contentsRect().width() - margins.left() - margins.right() - 2 * 2;
      const int needed = QFontMetrics(edit->font()).horizontalAdvance(text) + 1;
      QVERIFY2(needed <= room, qPrintable(QStringLiteral("%1 in %2: %3 > %4")
                                              .arg(text, box->objectName())
                                              .arg(needed)
                                              .arg(room)));
    }
    // The design widths are kept.
    QCOMPARE(form_->BaudRate->width(), 62);
    QCOMPARE(form_->ComStopBits->width(), 38);
    QCOMPARE(form_->ComPort->width(), 60);
  }

  void typedPortSettingsNeverBecomeItems() {
    form_->BaudRate->setFocus();
    form_->BaudRate->lineEdit()->selectAll();
    QTest::keyClicks(form_->BaudRate->lineEdit(), QStringLiteral("31250"));
    QTest::keyClick(form_->BaudRate->lineEdit(), Qt::Key_Return);
    QCOMPARE(form_->BaudRate->count(), 8);
    QCOMPARE(form_->BaudRate->currentText(), QStringLiteral("31250"));
  }

  void holdsTheNineChecksumTemplates() {
    QCOMPARE(Items(form_->LBTail),
             (QStringList{"[SUM_8(0..n)]", "[SUM_8(1..n)]", "[SUM_8(2..n)]", "[XOR_8 (0..n)]",
                          "[XOR_8 (1..n)]", "[XOR_8 (2..n)]", "[FF - SUM_8(0..n)]",
                          "[FF - SUM_8(1..n)]", "[FF - SUM_8(2..n)]"}));
  }

  void limitsWhatTheUserTypes() {
    QCOMPARE(form_->FiltrLog->UserMaxLength(), 250);
    QCOMPARE(form_->PeriodTX->UserMaxLength(), 5);
    QCOMPARE(form_->ListNameEDT->UserMaxLength(), 150);
    for (LimitedEdit* edit : form_->Edit) QCOMPARE(edit->UserMaxLength(), 50);
    QCOMPARE(form_->MainStrCmd->UserMaxLength(), 0);
    const QString longLine(300, u'a');
    form_->FiltrLog->setText(longLine);
    QCOMPARE(form_->FiltrLog->text(), longLine);
  }

  void setsTheDesignFonts_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::newRow("StartStop") << "StartStop" << 32 << true;
    QTest::newRow("LPlus") << "LPlus" << 19 << true;
    QTest::newRow("CBLists") << "CBLists" << 20 << true;
    QTest::newRow("STListName") << "STListName" << 24 << true;
    QTest::newRow("ListNameEDT") << "ListNameEDT" << 20 << true;
    QTest::newRow("Label1") << "Label1" << 13 << false;
    QTest::newRow("FiltrLog") << "FiltrLog" << 11 << true;
    QTest::newRow("BTClrStat") << "BTClrStat" << 11 << true;
    QTest::newRow("ListDec") << "ListDec" << 11 << true;
    QTest::newRow("ListInc") << "ListInc" << 11 << true;
    QTest::newRow("Str1") << "Str1" << 11 << true;
    QTest::newRow("STH1") << "STH1" << 11 << true;
    QTest::newRow("STH2") << "STH2" << 11 << false;
    // The name view shows the macro names in bold.
    QTest::newRow("Button1") << "Button1" << 11 << true;
  }
  void setsTheDesignFonts() {
    QFETCH(QString, name);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    const QWidget* control = form_->findChild<QWidget*>(name);
    QVERIFY(control != nullptr);
    QCOMPARE(control->font().pixelSize(), pixels);
    QCOMPARE(control->font().bold(), bold);
  }

  void coloursTheHelpPanelTheEditorNoteAndThePausedLog() {
    for (QLabel* line : form_->STH) {
      QCOMPARE(line->palette().color(line->backgroundRole()), QColor(255, 251, 240));
      QVERIFY(line->autoFillBackground());
    }
    QCOMPARE(form_->STH[0]->alignment(), Qt::AlignCenter);
    QCOMPARE(form_->StaticText1->palette().color(form_->StaticText1->backgroundRole()),
             QColor(Qt::yellow));
    // The info-tip background of the fixed table (system colour 24), whatever
    // the desktop's palette says.
    QCOMPARE(form_->SecondWindow->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xE1));
    QCOMPARE(form_->SecondWindow->palette().color(QPalette::Text), QColor(0, 0, 0));
  }

  void placesTheRegionsAtDesign() {
    QCOMPARE(form_->Panel1->geometry(), QRect(4, 0, 937, 25));
    QCOMPARE(form_->MainWindow->geometry(), QRect(4, 28, 937, 373));
    QCOMPARE(form_->SecondWindow->geometry(), QRect(4, 28, 937, 373));
    QCOMPARE(form_->LogPanel->geometry(), QRect(4, 404, 937, 45));
    QCOMPARE(form_->MainPanel->geometry(), QRect(4, 450, 937, 297));
  }

  void placesTheMacroGridAndTheHelpPanel() {
    for (int slot = 1; slot <= 48; ++slot) {
      const auto index = static_cast<std::size_t>(slot - 1);
      QCOMPARE(form_->Button[index]->geometry(), SlotBounds(slot));
      QCOMPARE(form_->Edit[index]->geometry(), SlotBounds(slot));
    }
    for (int line = 1; line <= 12; ++line) {
      QCOMPARE(form_->STH[static_cast<std::size_t>(line - 1)]->geometry(),
               QRect(668, 72 + 16 * (line - 1), 261, 17));
    }
  }

  void placesTheCommandAreaAndTopBarAtDesign() {
    QCOMPARE(form_->MainStrCmd->x(), 8);
    QCOMPARE(form_->MainStrCmd->width(), 641);
    QCOMPARE(form_->AddStrCmd->x(), 668);
    QCOMPARE(form_->Str1->x(), 636);
    QCOMPARE(form_->Str2->x(), 916);
    QCOMPARE(form_->LPlus->x(), 652);
    QCOMPARE(form_->ButtonSend->x(), 800);
    QCOMPARE(form_->EditAllCmd->x(), 302);
    QCOMPARE(form_->SaveF->x(), 388);
    QCOMPARE(form_->DelList->x(), 388);
    QCOMPARE(form_->ListDec->x(), 480);
    QCOMPARE(form_->OldCommandsBT->x(), 480);
    QCOMPARE(form_->ListInc->x(), 564);
    QCOMPARE(form_->ButtonReadFile->x(), 564);
    QCOMPARE(form_->RBName->x(), 668);
    QCOMPARE(form_->RbData->x(), 668);
    QCOMPARE(form_->SendStart->x(), 668);
    QCOMPARE(form_->CBLists->width(), 289);
    QCOMPARE(form_->STListName->width(), 289);
    QCOMPARE(form_->ListNameEDT->width(), 289);
    QCOMPARE(form_->STLog->width(), 641);
    QCOMPARE(form_->StaticText3->geometry().x(), 668);
    QCOMPARE(form_->StaticText3->width(), 261);
    QCOMPARE(form_->FiltrLog->width(), 57);
    QCOMPARE(form_->Srift->x(), 584);
    QCOMPARE(form_->SriftText->x(), 604);
    QCOMPARE(form_->BTLog->x(), 636);
    QCOMPARE(form_->StartLog->x(), 696);
    QCOMPARE(form_->StartStop->x(), 756);
    QCOMPARE(form_->BTPalitra->x(), 816);
    QCOMPARE(form_->BtInfo->x(), 876);
    QVERIFY(form_->STLog->y() > form_->Button[7]->geometry().bottom());
    QVERIFY(form_->CBLists->geometry().bottom() < 72);
    QVERIFY(form_->MainStrCmd->geometry().bottom() < form_->CBLists->y());
  }

  // The counters and the clock change with every packet and every second.
  // A new text must not make Qt post a layout request to the parent: that
  // is an event and a wake-up each time, and nothing here is laid out by Qt.
  void theLabelsThatChangeAtRunTimeAskTheirParentsForNoLayout() {
    struct LayoutRequests : QObject {
      int count = 0;
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::LayoutRequest) ++count;
        return false;
      }
    };
    const auto expectNoLayoutRequest = [](QWidget* label, const std::function<void()>& change) {
      QCoreApplication::processEvents();
      LayoutRequests requests;
      label->parentWidget()->installEventFilter(&requests);
      const QRect before = label->geometry();
      change();
      QCoreApplication::processEvents();
      QVERIFY2(requests.count == 0, qPrintable(label->objectName()));
      QCOMPARE(label->geometry(), before);
    };
    for (QLabel* label :
         {form_->StaticText3, form_->LSend, form_->LRead, form_->MinTimeWait, form_->MaxTimeWait}) {
      expectNoLayoutRequest(label,
                            [label] { label->setText(label->text() + QStringLiteral(" 12345")); });
    }
    ClockLabel* clock = form_->TextTime;
    expectNoLayoutRequest(clock, [clock] { clock->setText(clock->text() + QStringLiteral(" 1")); });
    // The layout pass still moves the held status line.
    ResizeClient(1013, 749);
    QCOMPARE(form_->StaticText3->x(), 738);
    QCOMPARE(form_->StaticText3->width(), 261);
  }

  void followsAWindowSeventyPixelsWider() {
    ResizeClient(1013, 749);
    QCOMPARE(form_->MainWindow->geometry(), QRect(4, 28, 1007, 373));
    QCOMPARE(form_->LogPanel->geometry(), QRect(4, 405, 1007, 45));
    QCOMPARE(form_->MainPanel->geometry(), QRect(4, 450, 1007, 297));
    QCOMPARE(form_->AddStrCmd->x(), 738);
    QCOMPARE(form_->MainStrCmd->width(), 711);
    QCOMPARE(form_->FiltrLog->width(), 127);
    QCOMPARE(form_->BtInfo->x(), 946);
    QCOMPARE(form_->PStats->x(), 801);
    QCOMPARE(form_->STH[0]->x(), 738);
    QCOMPARE(form_->Button[8]->geometry(), QRect(106, 72, 99, 25));
    QCOMPARE(form_->Button[40]->geometry(), QRect(498, 72, 221, 25));
    QCOMPARE(form_->Edit[40]->geometry(), QRect(498, 72, 221, 25));
    QCOMPARE(form_->OldCmdList->x(), 4);
    QCOMPARE(form_->OldCmdList->width(), 999);
    QCOMPARE(form_->StaticText1->width(), 719);
  }

  void followsAWindowTenPixelsNarrower() {
    ResizeClient(933, 749);
    QCOMPARE(form_->Button[8]->geometry(), QRect(95, 72, 88, 25));
    QCOMPARE(form_->Button[47]->geometry(), QRect(443, 240, 199, 25));
    QCOMPARE(form_->AddStrCmd->x(), 658);
    QCOMPARE(form_->MainWindow->width(), 927);
  }

  void shrinksStretchedControlsToNothingWhenMuchNarrower() {
    ResizeClient(300, 749);
    QCOMPARE(form_->Button[0]->width(), 0);
    QCOMPARE(form_->MainStrCmd->width(), 0);
    QCOMPARE(form_->FiltrLog->width(), 0);
  }

  void layOutAWindowTwoHundredPixelsWideControlByControl() {
    ResizeClient(200, 749);  // delta -743, column step -106
    QCOMPARE(form_->MainWindow->geometry(), QRect(4, 28, 194, 373));
    QCOMPARE(form_->MainPanel->geometry(), QRect(4, 450, 194, 297));
    QCOMPARE(form_->AddStrCmd->x(), -75);
    QCOMPARE(form_->STH[11]->geometry(), QRect(-75, 248, 261, 17));
    QCOMPARE(form_->BtInfo->x(), 133);
    QCOMPARE(form_->ButtonSend->x(), 57);
    QCOMPARE(form_->Button[8]->geometry(), QRect(-10, 72, 0, 25));
    QCOMPARE(form_->Button[40]->geometry(), QRect(-82, 72, 0, 25));
    QCOMPARE(form_->Edit[40]->geometry(), QRect(-82, 72, 0, 25));
    for (QWidget* stretched : std::initializer_list<QWidget*>{
             form_->MainStrCmd, form_->FiltrLog, form_->STLog, form_->CBLists, form_->STListName})
      QCOMPARE(stretched->width(), 0);
    QCOMPARE(form_->StaticText3->width(), 261);
    // The window still answers: back to a wide size lays everything out again.
    ResizeClient(1013, 749);
    QCOMPARE(form_->Button[8]->geometry(), QRect(106, 72, 99, 25));
  }

  void givesOnlyTheLogTheExtraHeight() {
    ResizeClient(943, 849);
    QCOMPARE(form_->MainWindow->geometry(), QRect(4, 28, 937, 473));
    QCOMPARE(form_->SecondWindow->geometry(), QRect(4, 28, 937, 473));
    QCOMPARE(form_->LogPanel->geometry(), QRect(4, 505, 937, 45));
    QCOMPARE(form_->MainPanel->geometry(), QRect(4, 550, 937, 297));
    QCOMPARE(form_->AddStrCmd->x(), 668);
    QCOMPARE(form_->MainStrCmd->width(), 641);
    for (int slot = 1; slot <= 48; ++slot) {
      QCOMPARE(form_->Button[static_cast<std::size_t>(slot - 1)]->geometry(), SlotBounds(slot));
    }
  }

  void widensTheListNameInTheFileView() {
    form_->FilePanelShownChanged(true);
    ResizeClient(1013, 749);
    QCOMPARE(form_->STListName->width(), 622);
    QCOMPARE(form_->CBLists->width(), 359);
  }

  void givesTheListNameItsListWidthBackWhenTheFileViewCloses() {
    ResizeClient(1013, 749);
    form_->FilePanelShownChanged(true);
    QCOMPARE(form_->STListName->width(), 622);
    form_->FilePanelShownChanged(false);
    QCOMPARE(form_->STListName->width(), 359);
    QCOMPARE(form_->STListName->x(), form_->CBLists->x());
  }

  void runsNoPassBeforeTheFirstRealChangeOfSize() {
    ResizeClient(943, 749);  // the size it was built with: no change
    QCOMPARE(form_->LogPanel->geometry(), QRect(4, 404, 937, 45));
    QVERIFY(!form_->LayoutState().PassHasRun());
    ResizeClient(1013, 749);
    QVERIFY(form_->LayoutState().PassHasRun());
    ResizeClient(943, 749);  // back to the design width: the pass's own edge case
    QCOMPARE(form_->LogPanel->geometry(), QRect(4, 405, 937, 45));
    QCOMPARE(form_->OldCmdList->width(), 929);
    QCOMPARE(form_->StaticText1->width(), 649);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::MainFormTest)
#include "main_form_test.moc"
