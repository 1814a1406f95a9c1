#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include "ui/control_factory.h"
#include "ui/look.h"
#include "ui/main_form.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/double_click_combo_box.h"
#include "ui/widgets/limited_edit.h"

namespace velmora::ui {
namespace {

// Rows of the command area, in MainPanel's coordinates: the console line and
// the tail, the list controls, the macro grid with the help panel beside it,
// and the status line.
constexpr int kConsoleTop = 4;
constexpr int kConsoleHeight = 21;
constexpr int kListRowTop = 30;
constexpr int kListRowHeight = 37;
constexpr int kGridTop = 72;
constexpr int kSlotPitch = 24;
constexpr int kSlotHeight = 25;
constexpr int kHelpPitch = 16;
constexpr int kHelpHeight = 17;
constexpr int kStatusTop = 272;
constexpr int kStatusHeight = 19;

ClickableLabel* NewArrowLabel(QWidget* parent, const QString& name, Placed control) {
  auto* label = new ClickableLabel(parent);
  Name(label, name, DesignRect(control, kConsoleTop + 2, kConsoleHeight - 4));
  label->setFont(UiFont(8, true));
  label->setAlignment(Qt::AlignCenter);
  label->setText(QString(QChar(0x2193)));  // DOWNWARDS ARROW
  label->setAutoFillBackground(true);
  label->setBackgroundRole(QPalette::Base);
  return label;
}

}  // namespace

void MainForm::BuildCommandArea() {
  QWidget* area = MainPanel;

  // MainStrCmd has no limit of its own: the console takes whole history lines.
  MainStrCmd = NewEdit(area, QStringLiteral("MainStrCmd"),
                       DesignRect(Placed::MainStrCmd, kConsoleTop, kConsoleHeight));
  LPlus = NewLabel(area, QStringLiteral("LPlus"), QStringLiteral("+"),
                   DesignRect(Placed::LPlus, 2, kConsoleHeight + 2));
  LPlus->setFont(UiFont(14, true));
  LPlus->setAlignment(Qt::AlignCenter);
  AddStrCmd = NewEdit(area, QStringLiteral("AddStrCmd"),
                      DesignRect(Placed::AddStrCmd, kConsoleTop, kConsoleHeight));
  AddStrCmd->setText(QStringLiteral("$0D"));
  AddStrCmd->setToolTip(
      QStringLiteral("Примеры: $0D$0A, *[XOR_8(1..n)]$0D$0A. Список алгоритмов расчёта "
                     "контрольной суммы появляется при нажатии \"Стрелка вниз\". "));
  Str1 = NewArrowLabel(area, QStringLiteral("Str1"), Placed::Str1);
  Str2 = NewArrowLabel(area, QStringLiteral("Str2"), Placed::Str2);

  CBLists = new DoubleClickComboBox(area);
  Name(CBLists, QStringLiteral("CBLists"), DesignRect(Placed::CBLists, kListRowTop + 1, 33));
  CBLists->setFont(UiFont(15, true));
  CBLists->setToolTip(QStringLiteral("Можно дважды кликнуть мышкой"));
  STListName = new ClickableLabel(area);
  Name(STListName, QStringLiteral("STListName"),
       DesignRect(Placed::STListName, kListRowTop, kListRowHeight));
  STListName->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  STListName->setFont(UiFont(18, true));
  STListName->setToolTip(QStringLiteral("Список откроется по двойному клику"));
  STListName->hide();
  ListNameEDT = NewEdit(area, QStringLiteral("ListNameEDT"),
                        DesignRect(Placed::ListNameEDT, kListRowTop + 1, 33), 150);
  ListNameEDT->setFont(UiFont(15, true));
  ListNameEDT->hide();

  const auto listRow = [](Placed control) {
    return DesignRect(control, kListRowTop, kListRowHeight);
  };
  EditAllCmd = NewButton(area, QStringLiteral("EditAllCmd"), QStringLiteral("Редактор"),
                         listRow(Placed::EditAllCmd));
  SaveF = NewButton(area, QStringLiteral("SaveF"), QStringLiteral("Сохранить"),
                    DesignRect(Placed::SaveF, kListRowTop, 19));
  SaveF->setToolTip(QStringLiteral("Сохранить все изменения в файл"));
  SaveF->hide();
  DelList = NewButton(area, QStringLiteral("DelList"), QStringLiteral("Очистить"),
                      DesignRect(Placed::DelList, kListRowTop + 18, 19));
  DelList->setToolTip(QStringLiteral("Очистить весь список команд"));
  DelList->hide();
  OldCommandsBT = NewButton(area, QStringLiteral("OldCommandsBT"), QStringLiteral("Отправленные"),
                            listRow(Placed::OldCommandsBT));
  OldCommandsBT->hide();
  ListDec =
      NewButton(area, QStringLiteral("ListDec"), QStringLiteral("<<<<<"), listRow(Placed::ListDec));
  ListDec->setFont(UiFont(8, true));
  ListDec->setToolTip(QStringLiteral("Предыдущий список"));
  ListDec->setEnabled(false);
  ListDec->hide();
  ButtonReadFile = NewButton(area, QStringLiteral("ButtonReadFile"), QStringLiteral("Из файла"),
                             listRow(Placed::ButtonReadFile));
  ListInc =
      NewButton(area, QStringLiteral("ListInc"), QStringLiteral(">>>>>"), listRow(Placed::ListInc));
  ListInc->setFont(UiFont(8, true));
  ListInc->setToolTip(QStringLiteral("Следующий список"));
  ListInc->hide();
  RBName = NewRadio(area, QStringLiteral("RBName"), QStringLiteral("Имя команды"),
                    DesignRect(Placed::RBName, kListRowTop + 1, 17));
  RBName->setChecked(true);
  RbData = NewRadio(area, QStringLiteral("RbData"), QStringLiteral("Командная строка"),
                    DesignRect(Placed::RbData, kListRowTop + 19, 17));
  SendStart = NewButton(area, QStringLiteral("SendStart"), QStringLiteral("Отправить из файла"),
                        listRow(Placed::SendStart));
  SendStart->hide();
  ButtonSend = NewButton(area, QStringLiteral("ButtonSend"), QStringLiteral("Отправить"),
                         listRow(Placed::ButtonSend));

  for (std::size_t i = 0; i < STH.size(); ++i) {
    const int top = kGridTop + kHelpPitch * static_cast<int>(i);
    QLabel* line =
        NewLabel(area, QStringLiteral("STH%1").arg(i + 1), QString(), {668, top, 261, kHelpHeight});
    QPalette cream = line->palette();
    cream.setColor(QPalette::Window, kCream);
    line->setPalette(cream);
    line->setAutoFillBackground(true);
    line->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    line->setFont(HelpFont(false));
    STH[i] = line;
  }
  STH[0]->setFont(HelpFont(true));
  STH[0]->setAlignment(Qt::AlignCenter);

  STLog = NewSunkenLabel(area, QStringLiteral("STLog"), QStringLiteral("Запись в файл не ведётся"),
                         DesignRect(Placed::STLog, kStatusTop, kStatusHeight));
  StaticText1 =
      NewSunkenLabel(area, QStringLiteral("StaticText1"),
                     QStringLiteral("Двойной клик по команде откроет окно редактирования справки"),
                     DesignRect(Placed::StaticText1, kStatusTop, kStatusHeight));
  QPalette yellow = StaticText1->palette();
  yellow.setColor(QPalette::Window, Qt::yellow);
  StaticText1->setPalette(yellow);
  StaticText1->hide();
  StaticText3 = NewSunkenLabel(area, QStringLiteral("StaticText3"), QStringLiteral("TX: 0, RX: 0"),
                               DesignRect(Placed::StaticText3, kStatusTop, kStatusHeight));
  HoldSize(StaticText3);
}

void MainForm::BuildMacroSlots() {
  QWidget* area = MainPanel;
  const HorizontalLayout& design = DesignLayout();
  for (std::size_t i = 0; i < Button.size(); ++i) {
    const int slot = static_cast<int>(i) + 1;
    const int top = kGridTop + kSlotPitch * (static_cast<int>(i) % 8);
    const QRect bounds(design.buttons[i].left, top, design.buttons[i].width, kSlotHeight);
    Button[i] = NewButton(area, QStringLiteral("Button%1").arg(slot),
                          QStringLiteral("Button%1").arg(slot), bounds);
    Button[i]->setProperty("slot", slot);
    Edit[i] = NewEdit(area, QStringLiteral("Edit%1").arg(slot), bounds, 50);
    Edit[i]->setText(QStringLiteral("Edit%1").arg(slot));
    Edit[i]->setProperty("slot", slot);
    Edit[i]->hide();
  }

  OldCmdList = NewList(area, QStringLiteral("OldCmdList"),
                       DesignRect(Placed::OldCmdList, kGridTop, kSlotPitch * 7 + kSlotHeight));
  OldCmdList->hide();

  // The two drop-downs open over the grid and the help panel.
  FastOldCmd = NewList(area, QStringLiteral("FastOldCmd"),
                       DesignRect(Placed::FastOldCmd, kConsoleTop + kConsoleHeight, 186));
  FastOldCmd->hide();
  LBTail = NewList(area, QStringLiteral("LBTail"),
                   DesignRect(Placed::LBTail, kConsoleTop + kConsoleHeight, 140));
  LBTail->addItems({QStringLiteral("[SUM_8(0..n)]"), QStringLiteral("[SUM_8(1..n)]"),
                    QStringLiteral("[SUM_8(2..n)]"), QStringLiteral("[XOR_8 (0..n)]"),
                    QStringLiteral("[XOR_8 (1..n)]"), QStringLiteral("[XOR_8 (2..n)]"),
                    QStringLiteral("[FF - SUM_8(0..n)]"), QStringLiteral("[FF - SUM_8(1..n)]"),
                    QStringLiteral("[FF - SUM_8(2..n)]")});
  LBTail->hide();
}

}  // namespace velmora::ui
