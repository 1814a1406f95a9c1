#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "ui/control_factory.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/widgets/clock_label.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

// Two rows of options in a 45-pixel strip.
constexpr int kUpper = 3;
constexpr int kLower = 21;
constexpr int kRowHeight = 17;

}  // namespace

void MainForm::BuildLogPanel() {
  TextTime = new ClockLabel(LogPanel);
  Name(TextTime, QStringLiteral("TextTime"), {4, 12, 56, 21});
  HoldSize(TextTime);

  OutMode = NewPanel(LogPanel, QStringLiteral("OutMode"), {62, 2, 128, 41});
  VisTime = NewCheckBox(OutMode, QStringLiteral("VisTime"), QStringLiteral("TIME + "),
                        {4, 12, 62, kRowHeight});
  RBASCII = NewRadio(OutMode, QStringLiteral("RBASCII"), QStringLiteral("ASCII"),
                     {70, kUpper, 54, kRowHeight});
  RBASCII->setToolTip(QStringLiteral("Пример: \"command\""));
  RBASCII->setChecked(true);
  RBHEX = NewRadio(OutMode, QStringLiteral("RBHEX"), QStringLiteral("HEX"),
                   {70, kLower, 54, kRowHeight});
  RBHEX->setToolTip(QStringLiteral("Пример: \"00 01 02 03 0D 0E 12 13\""));

  InputMode = NewPanel(LogPanel, QStringLiteral("InputMode"), {192, 2, 536, 41});
  Label1 =
      NewLabel(InputMode, QStringLiteral("Label1"), QStringLiteral("Отправка:"), {6, 11, 74, 19});
  Label1->setFont(UiFont(10));
  RBManual = NewRadio(InputMode, QStringLiteral("RBManual"), QStringLiteral("Ручная"),
                      {82, kUpper, 90, kRowHeight});
  RBManual->setChecked(true);
  RBSel = NewRadio(InputMode, QStringLiteral("RBSel"), QStringLiteral("При выборе"),
                   {82, kLower, 90, kRowHeight});
  RBAfterAns = NewRadio(InputMode, QStringLiteral("RBAfterAns"), QStringLiteral("После ответа"),
                        {176, kUpper, 98, kRowHeight});
  RBPeriod = NewRadio(InputMode, QStringLiteral("RBPeriod"), QStringLiteral("Период, мс:"),
                      {176, kLower, 92, kRowHeight});
  PeriodTX = NewEdit(InputMode, QStringLiteral("PeriodTX"), {270, 19, 46, 20}, 5);
  PeriodTX->setText(QStringLiteral("1000"));
  // The Fusion check box needs 216 pixels for the longer caption: the two
  // boxes take the room up to the panel's edge.
  SendAsReconn =
      NewCheckBox(InputMode, QStringLiteral("SendAsReconn"),
                  QStringLiteral("Отправить при соединении"), {318, kUpper, 217, kRowHeight});
  CiklSend =
      NewCheckBox(InputMode, QStringLiteral("CiklSend"),
                  QStringLiteral("Циклическая отправка из файла"), {318, kLower, 217, kRowHeight});
  CiklSend->hide();

  // Held against the right edge of the strip; the layout pass moves it along.
  PStats = NewPanel(LogPanel, QStringLiteral("PStats"), DesignRect(Placed::PStats, 2, 41));
  LSend = NewLabel(PStats, QStringLiteral("LSend"), QStringLiteral("Send: 0"),
                   {4, kUpper, 72, kRowHeight});
  LSend->setToolTip(QStringLiteral("Число отправленных пакетов с учётом настроек фильтра"));
  LRead = NewLabel(PStats, QStringLiteral("LRead"), QStringLiteral("Read: 0"),
                   {4, kLower, 72, kRowHeight});
  LRead->setToolTip(QStringLiteral("Число принятых пакетов с учётом настроек фильтра"));
  MinTimeWait = NewLabel(PStats, QStringLiteral("MinTimeWait"), QStringLiteral("MIN_T_W:  NA"),
                         {78, kUpper, 96, kRowHeight});
  MinTimeWait->setToolTip(QStringLiteral("Минимальное время между принятыми пакетами"));
  MaxTimeWait = NewLabel(PStats, QStringLiteral("MaxTimeWait"), QStringLiteral("MAX_T_W: NA"),
                         {78, kLower, 96, kRowHeight});
  MaxTimeWait->setToolTip(QStringLiteral("Максимальное время между принятыми пакетами"));
  for (QWidget* counter : {LSend, LRead, MinTimeWait, MaxTimeWait}) {
    HoldSize(counter);
    // Filled with the panel's colour, a counter covers its area: its change
    // then repaints the counter alone, not the panel beneath it too.
    counter->setAutoFillBackground(true);
  }
  BTClrStat = NewButton(PStats, QStringLiteral("BTClrStat"), QStringLiteral("0"), {176, 8, 23, 25});
  BTClrStat->setFont(UiFont(8, true));
  BTClrStat->setToolTip(QStringLiteral("Обнулить статистику"));
}

}  // namespace velmora::ui
