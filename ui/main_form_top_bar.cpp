#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "ui/control_factory.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/widgets/limited_edit.h"
#include "ui/widgets/up_down_arrows.h"

namespace velmora::ui {
namespace {

// Every control of the bar stands in one row.
constexpr int kTop = 2;
constexpr int kHeight = 21;

QRect Row(int left, int width) { return {left, kTop, width, kHeight}; }
QRect Row(Placed control) { return DesignRect(control, kTop, kHeight); }

}  // namespace

void MainForm::BuildTopBar() {
  QWidget* bar = Panel1;
  BTConnect = NewButton(bar, QStringLiteral("BTConnect"), QStringLiteral("Connect"), Row(4, 66));
  BTRescan = NewButton(bar, QStringLiteral("BTRescan"), QStringLiteral("ReScan"), Row(71, 46));

  ComPort = NewPortCombo(bar, QStringLiteral("ComPort"), {}, -1, Row(118, 60));
  ComPort->setToolTip(QStringLiteral("Port"));
  // Some port names are paths, longer than the box: the list shows them
  // whole.
  ComPort->view()->setMinimumWidth(220);
  BaudRate = NewPortCombo(bar, QStringLiteral("BaudRate"),
                          {QStringLiteral("1200"), QStringLiteral("2400"), QStringLiteral("4800"),
                           QStringLiteral("9600"), QStringLiteral("19200"), QStringLiteral("38400"),
                           QStringLiteral("57600"), QStringLiteral("115200")},
                          0, Row(179, 62));
  BaudRate->setToolTip(QStringLiteral("BaudRate"));
  ComBits = NewPortCombo(
      bar, QStringLiteral("ComBits"),
      {QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8")}, 3,
      Row(242, 32));
  ComBits->setToolTip(QStringLiteral("Bits"));
  ComStopBits = NewPortCombo(bar, QStringLiteral("ComStopBits"),
                             {QStringLiteral("1"), QStringLiteral("1,5"), QStringLiteral("2")}, 0,
                             Row(275, 38));
  ComStopBits->setToolTip(QStringLiteral("StopBit"));

  AutoConnect =
      NewCheckBox(bar, QStringLiteral("AutoConnect"), QStringLiteral("AutoConnect"), Row(315, 92));

  TimeOutRx = new UpDownArrows(bar);
  Name(TimeOutRx, QStringLiteral("TimeOutRx"), Row(407, 15));
  // The hint's missing letter is the program's own.
  TimeOutRx->setToolTip(QStringLiteral("Временнй интервал разделения пакетов, мс"));
  TimeOutAns = NewSunkenLabel(bar, QStringLiteral("TimeOutAns"), QStringLiteral("TimeRX: 10000"),
                              Row(424, 94));

  FiltrLog = NewEdit(bar, QStringLiteral("FiltrLog"), Row(Placed::FiltrLog), 250);
  FiltrLog->setFont(UiFont(8, true));
  FiltrLog->setToolTip(QStringLiteral("Фильтр сообщений"));

  Srift = new UpDownArrows(bar);
  Name(Srift, QStringLiteral("Srift"), Row(Placed::Srift));
  Srift->setToolTip(QStringLiteral("Размер шрифта"));
  SriftText = NewSunkenLabel(bar, QStringLiteral("SriftText"), QString(), Row(Placed::SriftText));
  SriftText->setAlignment(Qt::AlignCenter);

  BTLog = NewButton(bar, QStringLiteral("BTLog"), QStringLiteral("Clear"), Row(Placed::BTLog));
  BTLog->setToolTip(QStringLiteral("Очистить окно лога"));
  StartLog = NewButton(bar, QStringLiteral("StartLog"), QStringLiteral("Start Log"),
                       Row(Placed::StartLog));
  StartStop =
      NewButton(bar, QStringLiteral("StartStop"), QStringLiteral("||"), Row(Placed::StartStop));
  StartStop->setFont(UiFont(24, true));
  StartStop->setToolTip(QStringLiteral("Остановить/продолжить вывод лога"));
  BTPalitra =
      NewButton(bar, QStringLiteral("BTPalitra"), QStringLiteral("Colors"), Row(Placed::BTPalitra));
  BTPalitra->setToolTip(QStringLiteral("Цвет окна лога"));
  BtInfo = NewButton(bar, QStringLiteral("BtInfo"), QStringLiteral("Info"), Row(Placed::BtInfo));
}

}  // namespace velmora::ui
