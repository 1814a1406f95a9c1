// The window's hover help, info window, macro editor call and fonts, driven
// by synthetic mouse moves and a synthetic cursor.

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <memory>

#include "app/help_texts.h"
#include "app/hover_help.h"
#include "fake_user_dialogs.h"
#include "ui/dialogs.h"
#include "ui/info_window.h"
#include "ui/macro_panel.h"
#include "ui/main_form.h"
#include "ui/main_window.h"
#include "ui/send_automation.h"
#include "ui/text_codec.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/log_window.h"
#include "window_fixture.h"

Q_DECLARE_METATYPE(velmora::HelpTopic)

namespace velmora::ui {
namespace {

// A mouse movement without a button, as the system delivers it.
void MoveOver(QWidget* widget, QPoint local = QPoint(3, 3)) {
  QMouseEvent move(QEvent::MouseMove, local, widget->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(widget, &move);
}

QStringList PanelLines(MainForm& form) {
  QStringList lines;
  for (QLabel* line : form.STH) lines << line->text();
  return lines;
}

QStringList TextLines(const HelpPanelText& text) {
  QStringList lines;
  for (const Bytes& line : text) lines << ToQString(line);
  return lines;
}

}  // namespace

class HoverWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<WindowFixture> app_;
  TForm1* window_ = nullptr;
  MainForm* form_ = nullptr;
  ScreenPoint cursor_{500, 300};
  int cursorAsks_ = 0;

  void Ticks(int n) {
    for (int i = 0; i < n; ++i) window_->CustomFunctionsTimer();
  }

  QWidget* Control(const QString& name) { return form_->findChild<QWidget*>(name); }

 private slots:
  void initTestCase() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion"))); }

  void init() {
    app_ = std::make_unique<WindowFixture>();
    window_ = app_->window.get();
    form_ = &window_->Form();
    cursor_ = {500, 300};
    cursorAsks_ = 0;
    window_->SetHoverCursor([this] {
      ++cursorAsks_;
      return cursor_;
    });
  }
  void cleanup() { app_.reset(); }

  void restingOnATopicControlShowsItsTopicAtTheHundredthTick_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<HelpTopic>("topic");
    QTest::newRow("BTConnect") << "BTConnect" << HelpTopic::Connect;
    QTest::newRow("BTRescan") << "BTRescan" << HelpTopic::Rescan;
    QTest::newRow("AutoConnect") << "AutoConnect" << HelpTopic::AutoConnect;
    QTest::newRow("TimeOutAns") << "TimeOutAns" << HelpTopic::TimeRX;
    QTest::newRow("FiltrLog") << "FiltrLog" << HelpTopic::Filtr;
    QTest::newRow("RBManual") << "RBManual" << HelpTopic::ModeManual;
    QTest::newRow("RBSel") << "RBSel" << HelpTopic::ModeSel;
    QTest::newRow("RBAfterAns") << "RBAfterAns" << HelpTopic::ModeAfterAns;
    QTest::newRow("RBPeriod") << "RBPeriod" << HelpTopic::ModePeriod;
    QTest::newRow("SendAsReconn") << "SendAsReconn" << HelpTopic::ForConnect;
    QTest::newRow("MainStrCmd") << "MainStrCmd" << HelpTopic::Consol;
    QTest::newRow("AddStrCmd") << "AddStrCmd" << HelpTopic::AddConsol;
    QTest::newRow("CiklSend") << "CiklSend" << HelpTopic::CiklSend;
  }
  void restingOnATopicControlShowsItsTopicAtTheHundredthTick() {
    QFETCH(QString, control);
    QFETCH(HelpTopic, topic);
    QWidget* widget = Control(control);
    QVERIFY(widget != nullptr);
    Ticks(1);
    QVERIFY(!window_->CustomFunctions().isActive());  // nothing to do: it rests
    MoveOver(widget);
    QCOMPARE(PanelLines(*form_), QStringList(12, QString()));  // emptied at once
    QVERIFY(window_->CustomFunctions().isActive());            // the move woke the tick
    Ticks(99);
    QCOMPARE(PanelLines(*form_), QStringList(12, QString()));
    Ticks(1);
    QCOMPARE(PanelLines(*form_), TextLines(HelpTopicText(topic)));
    // The cursor is asked when the countdown is at 100 and when it reaches 0;
    // the console line and the tail take their first anchor from the move
    // itself, without asking.
    QCOMPARE(cursorAsks_, 2);
    window_->CustomFunctionsTimer();
    QVERIFY(!window_->CustomFunctions().isActive());  // no countdown left: the tick rests
  }

  void aOnePixelMoveOfTheCursorShowsNoTopic() {
    MoveOver(form_->BTRescan);
    Ticks(1);  // the anchor
    cursor_.x += 1;
    Ticks(99);
    QCOMPARE(PanelLines(*form_), QStringList(12, QString()));
    MoveOver(form_->BTRescan);  // a new rest starts again
    Ticks(100);
    QCOMPARE(PanelLines(*form_), TextLines(HelpTopicText(HelpTopic::Rescan)));
  }

  void movingOntoAnotherTopicControlEndsWithThatTopic() {
    MoveOver(form_->BTConnect);
    Ticks(1);
    cursor_ = {520, 300};
    Ticks(10);
    MoveOver(form_->BTRescan);
    Ticks(100);
    QCOMPARE(PanelLines(*form_), TextLines(HelpTopicText(HelpTopic::Rescan)));
  }

  void clearingAreasEmptyThePanelAndOtherControlsLeaveIt_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<bool>("clears");
    QTest::newRow("Panel1") << "Panel1" << true;
    QTest::newRow("LogPanel") << "LogPanel" << true;
    QTest::newRow("MainPanel") << "MainPanel" << true;
    QTest::newRow("EditAllCmd") << "EditAllCmd" << true;
    QTest::newRow("DelList") << "DelList" << true;
    QTest::newRow("OldCommandsBT") << "OldCommandsBT" << true;
    QTest::newRow("ListInc") << "ListInc" << true;
    QTest::newRow("ListDec") << "ListDec" << true;
    QTest::newRow("ButtonReadFile") << "ButtonReadFile" << true;
    QTest::newRow("SendStart") << "SendStart" << true;
    QTest::newRow("ButtonSend") << "ButtonSend" << true;
    QTest::newRow("ComPort") << "ComPort" << false;
    QTest::newRow("BtInfo") << "BtInfo" << false;
    QTest::newRow("VisTime") << "VisTime" << false;
    QTest::newRow("STH3") << "STH3" << false;
  }
  void clearingAreasEmptyThePanelAndOtherControlsLeaveIt() {
    QFETCH(QString, control);
    QFETCH(bool, clears);
    QWidget* widget = Control(control);
    QVERIFY(widget != nullptr);
    const QStringList intro = TextLines(OutHelpHelp());
    QCOMPARE(PanelLines(*form_), intro);
    // A point of the panels' free area: their top left corner holds no control.
    MoveOver(widget, QPoint(1, 1));
    QCOMPARE(PanelLines(*form_), clears ? QStringList(12, QString()) : intro);
    for (int k = 0; k < kHelpTopicCount; ++k)
      QCOMPARE(window_->Hover().Countdown(static_cast<HelpTopic>(k)), 0);
  }

  void theLogWindowsViewportsEmptyThePanel() {
    for (LogWindow* log : {form_->MainWindow, form_->SecondWindow}) {
      window_->Form().STH[0]->setText(QStringLiteral("x"));
      MoveOver(log->viewport());
      QCOMPARE(form_->STH[0]->text(), QString());
    }
  }

  void aDisabledControlCountsAsTheFreeAreaOfItsPanel() {
    form_->BTRescan->setEnabled(false);  // as while connected
    MoveOver(form_->BTRescan);
    QCOMPARE(PanelLines(*form_), QStringList(12, QString()));
    QCOMPARE(window_->Hover().Countdown(HelpTopic::Rescan), 0);
    Ticks(100);
    QCOMPARE(PanelLines(*form_), QStringList(12, QString()));
  }

  void aMacroButtonKeepsShowingItsOwnHelp() {
    window_->Term().Store().SetCmdHelp(1, 5, 1, ToBytes(QStringLiteral("Своя справка")));
    MoveOver(form_->Button[4]);
    // The move stops at the button: the panel under it does not clear it.
    QCOMPARE(form_->STH[0]->text(), QStringLiteral("Своя справка"));
    QVERIFY(form_->Button[4]->testAttribute(Qt::WA_NoMousePropagation));
  }

  void theInfoButtonOpensTheInfoWindow() {
    form_->BtInfo->click();
    QCOMPARE(app_->dialogs.infos, 1);
  }

  void theInfoWindowIsModalFixedWhiteAndCentredWithNoFocusedControl() {
    TInfo info;
    QtUserDialogs dialogs;
    dialogs.SetWindows(&info, nullptr);
    QCOMPARE(info.windowTitle(), QStringLiteral("Info"));
    QCOMPARE(info.size(), QSize(581, 462));
    QCOMPARE(info.minimumSize(), info.maximumSize());
    QVERIFY(info.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!info.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!info.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(info.palette().color(QPalette::Window), QColor(Qt::white));
    bool checked = false;
    QTimer::singleShot(0, &info, [&] {
      checked = true;
      QCOMPARE(QApplication::activeModalWidget(), &info);
      QWidget* focus = info.focusWidget();
      QVERIFY(focus == nullptr || !focus->isVisible());
      const QRect screen = info.screen()->availableGeometry();
      QVERIFY(qAbs(info.frameGeometry().center().x() - screen.center().x()) <= 2);
      info.close();
    });
    dialogs.ShowInfo();
    QVERIFY(checked);
  }

  void theDoubleClickOpensTheEditorAndItsResultReachesTheStoreNotTheFile() {
    QFile file(QStringLiteral("CmdConfig"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    form_->EditAllCmd->click();  // the editor view
    MoveOver(form_->BTConnect);  // a countdown that would fire during the edit
    QVERIFY(window_->Hover().Countdown(HelpTopic::Connect) > 0);
    LimitedEdit* slot = form_->Edit[2];
    bool checked = false;
    app_->dialogs.whileMacroEditorShown = [&](const MacroEditRequest& request) {
      checked = true;
      QCOMPARE(request.macro, 3);
      QCOMPARE(request.list, window_->Macros().CurList());
      QCOMPARE(window_->Macros().CurCmd(), 3);
      QCOMPARE(slot->palette().color(QPalette::Inactive, QPalette::Base), QColor(0, 255, 0));
      QCOMPARE(window_->Hover().Countdown(HelpTopic::Connect), 0);
      request.store->SetCmdName(request.list, request.macro, ToBytes(QStringLiteral("Пуск")));
      request.setPanelLine(1, QStringLiteral("Заголовок"));
      request.setPanelLine(12, QStringLiteral("Последняя"));
    };
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(3, 3), slot->mapToGlobal(QPointF(3, 3)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(slot, &click);
    QVERIFY(checked);
    QCOMPARE(app_->dialogs.macroEdits, 1);
    CmdListStore& store = window_->Term().Store();
    const int list = window_->Macros().CurList();
    QCOMPARE(ToQString(store.GetCmdHelp(list, 3, 1)), QStringLiteral("Заголовок"));
    QCOMPARE(ToQString(store.GetCmdHelp(list, 3, 12)), QStringLiteral("Последняя"));
    QCOMPARE(ToQString(store.GetCmdHelp(list, 3, 2)), QString());
    QCOMPARE(slot->text(), QStringLiteral("Пуск"));  // ReadListCmd after the edit
    QCOMPARE(slot->palette().color(QPalette::Active, QPalette::Base),
             QApplication::palette(slot).color(QPalette::Active, QPalette::Base));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);  // the editor writes no file
    file.close();

    form_->SaveF->click();
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() != before);
  }

  void theListNameFollowsTheFilePanelSignal() {
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_));
    window_->resize(1013, 749);
    QCoreApplication::processEvents();
    emit window_->Automation().FilePanelShownChanged(true);
    QCOMPARE(form_->STListName->width(), 622);
    emit window_->Automation().FilePanelShownChanged(false);
    QCOMPARE(form_->STListName->width(), 359);
  }

  void everyHelpLineFitsItsLabel() {
    std::vector<const HelpPanelText*> texts{&OutHelpHelp()};
    for (int k = 0; k < kHelpTopicCount; ++k)
      texts.push_back(&HelpTopicText(static_cast<HelpTopic>(k)));
    for (const HelpPanelText* text : texts) {
      for (std::size_t i = 0; i < text->size(); ++i) {
        QLabel* label = form_->STH[i];
        QCOMPARE(label->width(), 261);
        const QString line = ToQString((*text)[i]);
        const int advance = QFontMetrics(label->font()).horizontalAdvance(line);
        QVERIFY2(advance <= label->contentsRect().width(),
                 qPrintable(QStringLiteral("%1: %2 px").arg(line).arg(advance)));
      }
    }
  }

  void theLongCheckBoxTextsAreNotCut() {
    for (QCheckBox* box : {form_->SendAsReconn, form_->CiklSend}) {
      QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(QStringLiteral("%1: %2 > %3")
                                                                       .arg(box->text())
                                                                       .arg(box->sizeHint().width())
                                                                       .arg(box->width())));
    }
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::HoverWindowTest)
#include "hover_window_test.moc"
