#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTest>
#include <array>
#include <memory>
#include <vector>

#include "app/hover_help.h"
#include "fake_user_dialogs.h"
#include "macros/cmd_list_store.h"
#include "ui/macro_editor_window.h"
#include "ui/text_codec.h"

namespace velmora::ui {
namespace {

constexpr int kList = 7;
constexpr int kMacro = 13;

// The main window's help panel as the editor sees it.
struct FakePanel {
  std::array<QString, 12> lines;
  int writes = 0;
  MacroEditRequest Request(CmdListStore& store) {
    return {.store = &store,
            .list = kList,
            .macro = kMacro,
            .panelLine = [this](int k) { return lines.at(static_cast<std::size_t>(k - 1)); },
            .setPanelLine =
                [this](int k, const QString& text) {
                  ++writes;
                  lines.at(static_cast<std::size_t>(k - 1)) = text;
                }};
  }
};

// Pixels a line edit leaves for its text: the contents rectangle of its
// frame less the edit's own margin of 2 on each side.
int TextRoom(const QLineEdit& edit) {
  QStyleOptionFrame option;
  option.initFrom(&edit);
  option.rect = edit.rect();
  option.lineWidth = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
  option.midLineWidth = 0;
  option.state |= QStyle::State_Sunken;
  const QRect contents = edit.style()
                             ->subElementRect(QStyle::SE_LineEditContents, &option, &edit)
                             .marginsRemoved(edit.textMargins());
  return contents.width() - 2 * 2;
}

// Types each character as the user would, Cyrillic included.
void Type(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
}

Bytes Repeated(const char* unit, std::size_t length) {
  Bytes text;
  while (text.size() < length) text += unit;
  text.resize(length);
  return text;
}

}  // namespace

class MacroEditorTest : public QObject {
  Q_OBJECT

 private:
  // A fresh editor opened for macro 13 of list 7, active with its focus.
  void OpenEditor() {
    editor_ = std::make_unique<TFormEditHelpCmd>();
    finished_ = std::make_unique<QSignalSpy>(editor_.get(), &TFormEditHelpCmd::editFinished);
    editor_->Open(panel_.Request(*store_));
    editor_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
  }
  QWidget* Focused() const { return QApplication::focusWidget(); }
  QLineEdit* FieldAt(int index) const {
    if (index == 0) return editor_->CmdName();
    if (index == 1) return editor_->CmdData();
    return editor_->HelpEdit(index - 1);
  }

  std::unique_ptr<CmdListStore> store_;
  FakePanel panel_;
  std::unique_ptr<TFormEditHelpCmd> editor_;
  std::unique_ptr<QSignalSpy> finished_;

 private slots:
  void init() {
    store_ = std::make_unique<CmdListStore>();
    store_->SetCmdName(kList, kMacro, "name");
    store_->SetCmdData(kList, kMacro, "AT+GMR");
    panel_ = FakePanel{};
    for (int k = 1; k <= 12; ++k)
      panel_.lines[static_cast<std::size_t>(k - 1)] = QStringLiteral("help %1").arg(k);
  }
  void cleanup() {
    finished_.reset();
    editor_.reset();
  }

  void laysOutTheFourteenFieldsInALargerBoldFaceForTheHelp() {
    TFormEditHelpCmd editor;
    QCOMPARE(editor.windowTitle(), QStringLiteral("Редактор макроса"));
    QCOMPARE(editor.objectName(), QStringLiteral("TFormEditHelpCmd"));
    QCOMPARE(editor.size(), QSize(420, 430));
    QVERIFY(editor.windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(editor.windowFlags() & Qt::WindowMinMaxButtonsHint));
    QVERIFY(editor.minimumSize() != editor.maximumSize());
    const std::vector<std::pair<const char*, QString>> labels = {
        {"Label1", QStringLiteral("Имя команды")},
        {"Label2", QStringLiteral("Командная строка")},
        {"Label3", QStringLiteral("Описание команды")}};
    int above = -1;
    for (const auto& [name, text] : labels) {
      auto* label = editor.findChild<QLabel*>(QString::fromLatin1(name));
      QVERIFY2(label != nullptr, name);
      QCOMPARE(label->text(), text);
      QCOMPARE(label->x(), 8);
      QVERIFY(label->y() > above);
      above = label->y();
    }
    QCOMPARE(editor.CmdName()->objectName(), QStringLiteral("CmdName"));
    QCOMPARE(editor.CmdName()->geometry(), QRect(8, 24, 404, 21));
    QVERIFY(editor.CmdName()->font().bold());
    QCOMPARE(editor.CmdData()->objectName(), QStringLiteral("CmdData"));
    QCOMPARE(editor.CmdData()->geometry(), QRect(8, 68, 404, 21));
    QVERIFY(!editor.CmdData()->font().bold());
    for (int k = 1; k <= 12; ++k) {
      QLineEdit* edit = editor.HelpEdit(k);
      QCOMPARE(edit->objectName(), QStringLiteral("Edit%1").arg(k));
      QCOMPARE(edit->property("tag").toInt(), k);
      QCOMPARE(edit->geometry(), QRect(8, 112 + 26 * (k - 1), 404, 24));
      QCOMPARE(edit->font().pixelSize(), 13);
      QVERIFY(edit->font().bold());
      QCOMPARE(QFontInfo(edit->font()).family(), QStringLiteral("DejaVu Sans Condensed"));
    }
    QVERIFY(editor.HelpEdit(12)->geometry().bottom() < 430);
  }

  void aFiftyCharacterRussianHelpLineFitsUnclipped() {
    TFormEditHelpCmd editor;
    const QString line = QStringLiteral("Отправка команды после ответа на запрос устройства");
    QCOMPARE(line.size(), 50);
    QLineEdit* edit = editor.HelpEdit(1);
    const int advance = QFontMetrics(edit->font()).horizontalAdvance(line);
    QVERIFY2(
        advance <= TextRoom(*edit),
        qPrintable(QStringLiteral("%1 px of text in %2 px").arg(advance).arg(TextRoom(*edit))));
    // Fifty of the widest capital letter would not fit: the check can fail.
    QVERIFY(QFontMetrics(edit->font()).horizontalAdvance(QString(50, QChar(0x0416))) >
            TextRoom(*edit));
  }

  void opensWithTheMacroAndThePanelAndTheFocusInTheName() {
    OpenEditor();
    QCOMPARE(editor_->CmdName()->text(), QStringLiteral("name"));
    QCOMPARE(editor_->CmdData()->text(), QStringLiteral("AT+GMR"));
    for (int k = 1; k <= 12; ++k)
      QCOMPARE(editor_->HelpEdit(k)->text(), QStringLiteral("help %1").arg(k));
    QCOMPARE(Focused(), editor_->CmdName());
    QCOMPARE(panel_.writes, 0);
    QVERIFY(editor_->Editing());
  }

  void enterWalksTheFieldsAndClosesAfterTheLast_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("key");
    for (int from = 0; from < 13; ++from) {
      QTest::addRow("Return from field %d", from) << from << int(Qt::Key_Return);
      QTest::addRow("Enter from field %d", from) << from << int(Qt::Key_Enter);
    }
  }
  void enterWalksTheFieldsAndClosesAfterTheLast() {
    QFETCH(int, from);
    QFETCH(int, key);
    OpenEditor();
    FieldAt(from)->setFocus();
    const QString before = FieldAt(from)->text();
    QTest::keyClick(FieldAt(from), Qt::Key(key));
    QCOMPARE(Focused(), FieldAt(from + 1));
    QCOMPARE(FieldAt(from)->text(), before);
    QCOMPARE(finished_->count(), 0);
  }

  void enterInTheLastHelpLineClosesTheWindow() {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
      OpenEditor();
      editor_->HelpEdit(12)->setFocus();
      QTest::keyClick(editor_->HelpEdit(12), key);
      QCOMPARE(finished_->count(), 1);
      QVERIFY(!editor_->isVisible());
      QVERIFY(!editor_->Editing());
      QCOMPARE(panel_.lines[11], QStringLiteral("help 12"));
    }
  }

  void fiveEntersFromTheNameReachTheFourthHelpLine() {
    OpenEditor();
    for (int i = 0; i < 5; ++i) QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Focused(), editor_->HelpEdit(4));
  }

  void backspaceInAnEmptyFieldGoesBackOneField_data() {
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addRow("CmdName stays") << 0 << 0;
    for (int from = 1; from < 14; ++from) QTest::addRow("field %d", from) << from << from - 1;
  }
  void backspaceInAnEmptyFieldGoesBackOneField() {
    QFETCH(int, from);
    QFETCH(int, to);
    OpenEditor();
    if (to != from) FieldAt(to)->setText(QStringLiteral("kept"));
    FieldAt(from)->clear();
    FieldAt(from)->setFocus();
    QTest::keyClick(FieldAt(from), Qt::Key_Backspace);
    QCOMPARE(Focused(), FieldAt(to));
    if (to != from) QCOMPARE(FieldAt(to)->text(), QStringLiteral("kept"));
    QCOMPARE(finished_->count(), 0);
  }

  void backspaceInAFieldWithTextDeletesAndStays() {
    OpenEditor();
    editor_->HelpEdit(5)->setFocus();
    editor_->HelpEdit(5)->end(false);
    QTest::keyClick(editor_->HelpEdit(5), Qt::Key_Backspace);
    QCOMPARE(editor_->HelpEdit(5)->text(), QStringLiteral("help "));
    QCOMPARE(Focused(), editor_->HelpEdit(5));
    QCOMPARE(panel_.lines[4], QStringLiteral("help "));
  }

  void escapeDoesNothing() {
    OpenEditor();
    editor_->CmdData()->setFocus();
    QTest::keyClick(editor_->CmdData(), Qt::Key_Escape);
    QVERIFY(editor_->isVisible());
    QCOMPARE(finished_->count(), 0);
    QCOMPARE(editor_->CmdData()->text(), QStringLiteral("AT+GMR"));
  }

  void tabGoesThroughTheHelpLinesThenTheNameThenTheCommandLine() {
    OpenEditor();
    editor_->HelpEdit(1)->setFocus();
    std::vector<QWidget*> expected;
    for (int k = 2; k <= 12; ++k) expected.push_back(editor_->HelpEdit(k));
    expected.push_back(editor_->CmdName());
    expected.push_back(editor_->CmdData());
    expected.push_back(editor_->HelpEdit(1));
    for (QWidget* next : expected) {
      QTest::keyClick(Focused(), Qt::Key_Tab);
      QCOMPARE(Focused(), next);
    }
  }

  void nameAndCommandLineWriteThroughOnEveryKeystroke() {
    OpenEditor();
    editor_->CmdName()->selectAll();
    QTest::keyClick(editor_->CmdName(), Qt::Key_Delete);
    QCOMPARE(store_->GetCmdName(kList, kMacro), Bytes());
    Type(editor_->CmdName(), QStringLiteral("Сб"));
    QCOMPARE(store_->GetCmdName(kList, kMacro), Bytes("\xD1\xE1"));
    editor_->CmdData()->setFocus();
    editor_->CmdData()->end(false);
    QTest::keyClick(editor_->CmdData(), Qt::Key_Backspace);
    QCOMPARE(store_->GetCmdData(kList, kMacro), Bytes("AT+GM"));
    QTest::keyClicks(editor_->CmdData(), QStringLiteral("$0D"));
    QCOMPARE(store_->GetCmdData(kList, kMacro), Bytes("AT+GM$0D"));
    QCOMPARE(store_->GetCmdName(1, kMacro), Bytes());  // only the macro being edited
  }

  void helpLinesGoToThePanelAtOnceAndToTheStoreAtClose() {
    OpenEditor();
    editor_->HelpEdit(3)->clear();
    Type(editor_->HelpEdit(3), QStringLiteral("Сброс"));
    QCOMPARE(panel_.lines[2], QStringLiteral("Сброс"));
    QCOMPARE(store_->GetCmdHelp(kList, kMacro, 3), Bytes());  // not before the close
    editor_->close();                                         // the close box
    QCOMPARE(finished_->count(), 1);
    QVERIFY(!editor_->isVisible());
    StoreHelpLinesFromPanel(panel_.Request(*store_));
    QCOMPARE(store_->GetCmdHelp(kList, kMacro, 3), Bytes("\xD1\xE1\xF0\xEE\xF1"));
    QCOMPARE(store_->GetCmdHelp(kList, kMacro, 12), Bytes("help 12"));
  }

  void theTypingLimitsBindTheUser_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("limit");
    QTest::addRow("CmdName") << 0 << 50;
    QTest::addRow("CmdData") << 1 << 250;
    QTest::addRow("Edit1") << 2 << 50;
    QTest::addRow("Edit12") << 13 << 50;
  }
  void theTypingLimitsBindTheUser() {
    QFETCH(int, field);
    QFETCH(int, limit);
    OpenEditor();
    FieldAt(field)->clear();
    FieldAt(field)->setFocus();
    QTest::keyClicks(FieldAt(field), QString(limit + 5, QChar('x')));
    QCOMPARE(FieldAt(field)->text(), QString(limit, QChar('x')));
  }

  void longTextsFromTheFileSurviveOpeningAndClosingByteForByte() {
    const Bytes name = Repeated("N\x98\xFF", 51);
    const Bytes data = Repeated("$0D\xC0", 251);
    store_->SetCmdName(kList, kMacro, name);
    store_->SetCmdData(kList, kMacro, data);
    for (int k = 1; k <= 12; ++k) {
      const Bytes line = Repeated(k % 2 ? "\xE0\x81 " : "h\x98", 151);
      store_->SetCmdHelp(kList, kMacro, k, line);
      panel_.lines[static_cast<std::size_t>(k - 1)] = ToQString(line);  // the slot's help shown
    }
    const std::vector<std::uint8_t> before(store_->Image().begin(), store_->Image().end());
    OpenEditor();
    QCOMPARE(editor_->CmdName()->text().size(), 51);
    QCOMPARE(editor_->CmdData()->text().size(), 251);
    QCOMPARE(editor_->HelpEdit(7)->text().size(), 151);
    QTest::keyClick(editor_->CmdName(), Qt::Key_Return);  // walk, typing nothing
    QTest::keyClick(editor_->CmdData(), Qt::Key_Return);
    editor_->close();
    StoreHelpLinesFromPanel(panel_.Request(*store_));
    QCOMPARE(store_->GetCmdName(kList, kMacro), name);
    QCOMPARE(store_->GetCmdData(kList, kMacro), data);
    const std::vector<std::uint8_t> after(store_->Image().begin(), store_->Image().end());
    QVERIFY(before == after);
  }

  void openingRunsOncePerOpeningNotOnActivation() {
    OpenEditor();
    editor_->HelpEdit(6)->setFocus();
    store_->SetCmdName(kList, kMacro, "changed behind");
    // Another window comes and goes: the editor is activated again.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    other.hide();
    editor_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
    QCOMPARE(Focused(), editor_->HelpEdit(6));
    QCOMPARE(editor_->CmdName()->text(), QStringLiteral("name"));
    editor_->close();
    // The next opening fills the fields and focuses the name again.
    editor_->Open(panel_.Request(*store_));
    editor_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor_.get()));
    QCOMPARE(editor_->CmdName()->text(), QStringLiteral("changed behind"));
    QCOMPARE(Focused(), editor_->CmdName());
  }

  void opensCentredEachTime() {
    OpenEditor();
    editor_->close();
    editor_->move(0, 0);
    editor_->Open(panel_.Request(*store_));
    const QRect available = editor_->screen()->availableGeometry();
    const QRect expected =
        QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, editor_->size(), available);
    QCOMPARE(editor_->geometry(), expected);
  }

  void theFourteenFieldsWidenAndNarrowWithTheWindow() {
    OpenEditor();
    for (int width : {520, 300, 420}) {
      editor_->resize(width, 430);
      for (int index = 0; index < 14; ++index) {
        QCOMPARE(FieldAt(index)->width(), width - 16);
        QCOMPARE(FieldAt(index)->x(), 8);
      }
      QCOMPARE(editor_->HelpEdit(12)->height(), 24);
    }
  }

  void theSlotIsGreenInEveryPaletteGroupWhileEditing() {
    QLineEdit slot;
    const QPalette normal = slot.palette();
    MarkSlotEdited(slot, true);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      QCOMPARE(slot.palette().color(group, QPalette::Base), QColor(0, 255, 0));
    }
    MarkSlotEdited(slot, false);
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
      QCOMPARE(slot.palette().color(group, QPalette::Base), normal.color(group, QPalette::Base));
    }
  }

  void theDoubleClickRunsTheEditInItsOrder() {
    FakeUserDialogs dialogs;
    QLineEdit slot;
    std::vector<QString> order;
    int curCmd = 0;
    // A topic countdown started just before the double click.
    HelpPanelText shownTopic;
    HoverHelp hover(
        [] {
          return ScreenPoint{5, 5};
        },
        {.clearHelp = [] {},
         .showTopic = [&](HelpTopic topic) { shownTopic = HelpTopicText(topic); }});
    hover.MouseMoved(HoverRoleOf("BTRescan"), {5, 5});
    const MacroEditSteps steps{.setCurCmd =
                                   [&](int m) {
                                     curCmd = m;
                                     order.push_back("CurCmd");
                                   },
                               .slotEdit = [&](int m) { return m == kMacro ? &slot : nullptr; },
                               .writeListCmd = [&] { order.push_back("WriteListCmd"); },
                               .zeroHelpCountdowns =
                                   [&] {
                                     hover.ZeroCountdowns();
                                     order.push_back("zero");
                                   },
                               .readListCmd =
                                   [&] {
                                     order.push_back("ReadListCmd");
                                     QCOMPARE(store_->GetCmdHelp(kList, kMacro, 2), Bytes());
                                   }};
    dialogs.whileMacroEditorShown = [&](const MacroEditRequest& request) {
      order.push_back("editor");
      QCOMPARE(request.macro, kMacro);
      QCOMPARE(slot.palette().color(QPalette::Inactive, QPalette::Base), QColor(0, 255, 0));
      for (int tick = 0; tick < 150; ++tick) hover.Tick();  // the tick goes on behind it
      request.setPanelLine(2, QStringLiteral("typed"));
    };
    ShowWindowEdtHelp(panel_.Request(*store_), steps, dialogs);
    QCOMPARE(order,
             (std::vector<QString>{"CurCmd", "WriteListCmd", "zero", "editor", "ReadListCmd"}));
    QCOMPARE(curCmd, kMacro);
    QCOMPARE(dialogs.macroEdits, 1);
    QCOMPARE(shownTopic[0], Bytes());  // no topic fired while the editor was open
    QCOMPARE(store_->GetCmdHelp(kList, kMacro, 2), Bytes("typed"));
    QCOMPARE(store_->GetCmdHelp(kList, kMacro, 1), Bytes("help 1"));
    QCOMPARE(slot.palette().color(QPalette::Inactive, QPalette::Base),
             QApplication::palette(&slot).color(QPalette::Inactive, QPalette::Base));
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::MacroEditorTest)
#include "macro_editor_test.moc"
