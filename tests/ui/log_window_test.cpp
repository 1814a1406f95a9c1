#include "ui/widgets/log_window.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>

#include "common/cp1251.h"
#include "ui/look.h"
#include "ui/widgets/paint_throttle.h"

namespace velmora::ui {
namespace {

// Lines the view itself lays out, wrapped lines included.
int ViewLineCount(LogWindow& log) {
  log.FlushPending();
  QTextDocument* document = log.document();
  int count = 0;
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    document->documentLayout()->blockBoundingRect(block);  // lays the block out
    count += block.layout()->lineCount();
  }
  return count;
}

// Records how many blocks the document held at each paint of a viewport.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(LogWindow& log) : log_(log) { log.viewport()->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      blocksAtPaint.append(log_.document()->blockCount());
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
  QList<int> blocksAtPaint;
  QRegion painted;

 private:
  LogWindow& log_;
};

QString Words(int count) {
  QStringList words;
  for (int i = 0; i < count; ++i) words << QStringLiteral("word%1").arg(i);
  return words.join(u' ');
}

}  // namespace

class LogWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<LogWindow> log_;

  // The count against the view's own, every 7 pixels of width.
  void CompareCountsAtWidths(int widest, int narrowest) {
    for (int width = widest; width >= narrowest; width -= 7) {
      log_->resize(width, 200);
      QCoreApplication::processEvents();
      QCOMPARE(log_->ShownLineCount(), ViewLineCount(*log_));
    }
  }

 private slots:
  void init() {
    log_ = std::make_unique<LogWindow>();
    log_->resize(400, 200);
    log_->show();
    QVERIFY(QTest::qWaitForWindowExposed(log_.get()));
  }
  void cleanup() { log_.reset(); }

  void breaksLinesOnlyAtCrLfPairs_data() {
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("plain") << QStringLiteral("abc") << QStringList{"abc"};
    QTest::newRow("empty") << QString() << QStringList{""};
    QTest::newRow("pair in the middle") << QStringLiteral("ab\r\ncd") << QStringList{"ab", "cd"};
    QTest::newRow("pair at the end") << QStringLiteral("ab\r\n") << QStringList{"ab", ""};
    QTest::newRow("lone CR") << QStringLiteral("ab\rcd") << QStringList{"abcd"};
    QTest::newRow("lone LF") << QStringLiteral("ab\ncd") << QStringList{"abcd"};
    QTest::newRow("trailing CR") << QStringLiteral("ok\r") << QStringList{"ok"};
    QTest::newRow("LF before CR is no pair") << QStringLiteral("a\n\rb") << QStringList{"ab"};
    QTest::newRow("CR before a pair") << QStringLiteral("a\r\r\nb") << QStringList{"a", "b"};
    QTest::newRow("NUL") << (QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"))
                         << QStringList{"ab"};
  }
  void breaksLinesOnlyAtCrLfPairs() {
    QFETCH(QString, entry);
    QFETCH(QStringList, lines);
    QCOMPARE(LogWindow::ShownLines(entry), lines);
  }

  void showsLoneControlsAsNothing() {
    log_->AppendEntry(QStringLiteral("one\rtwo"));
    log_->AppendEntry(QStringLiteral("three\nfour") + QChar(u'\0'));
    log_->AppendEntry(QStringLiteral("five\r\nsix\r"));
    log_->FlushPending();
    QCOMPARE(log_->toPlainText(), QStringLiteral("onetwo\nthreefour\nfive\nsix"));
    QCOMPARE(log_->ShownLineCount(), 4);
  }

  void keepsTheEntriesUnchanged() {
    const QStringList entries = {QStringLiteral("a\r\nb"), QStringLiteral("c\r"),
                                 QStringLiteral("d") + QChar(u'\0')};
    for (const QString& entry : entries) log_->AppendEntry(entry);
    QCOMPARE(log_->Entries(), entries);
  }

  void countsEveryCrLfLine() {
    log_->AppendEntry(QStringLiteral("a"));
    QCOMPARE(log_->ShownLineCount(), 1);
    log_->AppendEntry(QStringLiteral("b\r\nc"));
    QCOMPARE(log_->ShownLineCount(), 3);
    log_->AppendEntry(QStringLiteral("d\r\ne\r\n"));
    QCOMPARE(log_->ShownLineCount(), 6);
    QCOMPARE(ViewLineCount(*log_), 6);
  }

  void countsWrappedLinesAsTheViewDoesAtEveryWidth() {
    log_->AppendEntry(Words(60));
    log_->AppendEntry(QStringLiteral("short"));
    log_->AppendEntry(QString(300, u'x'));  // no word boundary: wrapped anywhere
    log_->AppendEntry(Words(30) + QStringLiteral("\r\n") + Words(30));
    int previous = 0;
    for (int width = 420; width >= 200; width -= 3) {
      log_->resize(width, 200);
      QCoreApplication::processEvents();
      const int count = log_->ShownLineCount();
      QCOMPARE(count, ViewLineCount(*log_));
      QVERIFY(count >= previous);
      previous = count;
    }
    QVERIFY2(previous > 20, qPrintable(QString::number(previous)));
  }

  // Every character the terminal can show (the 1251 code page), runs of
  // blanks and long words, counted without layout, against the view's own.
  void countsAnyCodePageTextAsTheViewDoes() {
    QRandomGenerator random(1251);
    for (int i = 0; i < 40; ++i) {
      QString entry;
      const int length = static_cast<int>(random.bounded(1, 400));
      for (int k = 0; k < length; ++k) {
        const auto byte = static_cast<std::uint8_t>(random.bounded(256));
        entry.append(random.bounded(5) == 0 ? QChar(u' ')
                                            : QChar(static_cast<char16_t>(Cp1251ToUnicode(byte))));
      }
      log_->AppendEntry(entry);
    }
    CompareCountsAtWidths(420, 150);
  }

  // Lines of printable ASCII (every HEX line, most text): blanks in runs at
  // the edges and inside, some wider than the view, CR LF breaks, long words.
  // In a monospaced font they are counted by cells; each entry also comes
  // with a Cyrillic letter, which the count by advances takes.
  void countsPrintableAsciiAsTheViewDoes() {
    QRandomGenerator random(7);
    for (int i = 0; i < 40; ++i) {
      QString entry;
      const int length = static_cast<int>(random.bounded(1, 500));
      for (int k = 0; k < length; ++k) {
        const quint32 pick = random.bounded(20);
        if (pick < 4) {
          entry.append(QString(static_cast<int>(random.bounded(1, pick == 0 ? 40 : 6)), u' '));
        } else if (pick == 4) {
          entry.append(QStringLiteral("\r\n"));
        } else {
          entry.append(QChar(static_cast<char16_t>(random.bounded(0x21, 0x7F))));
        }
      }
      log_->AppendEntry(entry);
      log_->AppendEntry(entry + QChar(u'\u0416'));
    }
    log_->AppendEntry(QStringLiteral(" [ 12:00:00:000 < ] 00 11 22 33 44 55 66 77 88 99 AA BB"));
    log_->AppendEntry(QStringLiteral("\r\n"));
    CompareCountsAtWidths(420, 40);
  }

  void recountsAfterTheFontChanges() {
    log_->AppendEntry(Words(40));
    const int small = log_->ShownLineCount();
    log_->SetLogFontPointSize(16);
    QCoreApplication::processEvents();
    const int large = log_->ShownLineCount();
    QVERIFY(large > small);
    QCOMPARE(large, ViewLineCount(*log_));
  }

  // The first entry in a font would otherwise wait for the font to be
  // measured (and loaded); a log that is not shown measures nothing.
  void measuresItsFontWhileShownBeforeAnyEntry() {
    QTRY_VERIFY(log_->FontMeasured());
    log_->SetLogFontPointSize(14);
    QVERIFY(!log_->FontMeasured());
    QTRY_VERIFY(log_->FontMeasured());
    QCOMPARE(log_->ShownLineCount(), 0);

    LogWindow hidden;
    hidden.SetLogFontPointSize(12);
    QCoreApplication::processEvents();
    QVERIFY(!hidden.FontMeasured());
  }

  void drawsFiveThousandEntriesInOneBatch() {
    for (int i = 0; i < 5000; ++i) log_->AppendEntry(QStringLiteral("line %1").arg(i));
    QCOMPARE(log_->ShownLineCount(), 5000);
    QCOMPARE(log_->document()->blockCount(), 1);  // nothing drawn until the batch is due
    QTRY_COMPARE(log_->document()->blockCount(), 5000);
    QCOMPARE(log_->document()->lastBlock().text(), QStringLiteral("line 4999"));
    log_->AppendEntry(QStringLiteral("line 5000"));
    QCOMPARE(log_->ShownLineCount(), 5001);
    QTRY_COMPARE(log_->document()->blockCount(), 5001);
  }

  void looksExactlyLikeAPlainTextEditWithTheSameLines() {
    // The log paints its background and its scroll bar in bands; the
    // pixels must be those of the plain view it is made of.
    QPlainTextEdit plain;
    plain.setReadOnly(true);
    plain.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    plain.setWordWrapMode(QTextOption::WrapAnywhere);
    plain.setFont(LogFont(8));
    plain.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    plain.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    for (QWidget* view : {static_cast<QWidget*>(log_.get()), static_cast<QWidget*>(&plain)}) {
      QPalette palette = view->palette();
      palette.setColor(QPalette::Base, QColor(255, 255, 0));
      view->setPalette(palette);
    }
    plain.resize(log_->size());
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    QStringList lines;
    for (int i = 0; i < 300; ++i) lines << QStringLiteral("%1 %2").arg(i).arg(Words(i % 9));
    for (const QString& line : lines) log_->AppendEntry(line);
    log_->FlushPending();
    plain.setPlainText(lines.join(u'\n'));
    plain.verticalScrollBar()->setValue(plain.verticalScrollBar()->maximum());
    QCOMPARE(log_->verticalScrollBar()->value(), plain.verticalScrollBar()->value());
    QCOMPARE(log_->grab().toImage(), plain.grab().toImage());
    // Half-way up, too.
    log_->verticalScrollBar()->setValue(log_->verticalScrollBar()->maximum() / 2);
    plain.verticalScrollBar()->setValue(plain.verticalScrollBar()->maximum() / 2);
    QCOMPARE(log_->grab().toImage(), plain.grab().toImage());
  }

  // An entry of several lines (CR LF parts them) is one paragraph whose
  // lines are parted by line separators: drawn as a plain view draws such
  // paragraphs, scrolled as one with a block a line, copied as lines.
  void drawsAnEntryOfSeveralLinesAsOneParagraph() {
    QPlainTextEdit paragraphs;
    QPlainTextEdit lines;
    for (QPlainTextEdit* plain : {&paragraphs, &lines}) {
      plain->setReadOnly(true);
      plain->setLineWrapMode(QPlainTextEdit::WidgetWidth);
      plain->setWordWrapMode(QTextOption::WrapAnywhere);
      plain->setFont(LogFont(8));
      plain->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
      plain->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      plain->resize(log_->size());
      plain->show();
      QVERIFY(QTest::qWaitForWindowExposed(plain));
    }
    // Short lines: nothing wraps, so every line counts one in either view.
    QStringList entries;
    for (int i = 0; i < 200; ++i) {
      QString entry = QStringLiteral("%1 %2").arg(i).arg(Words(i % 4));
      if (i % 3 == 1) entry += QStringLiteral("\r\nnext\r\n\r\nlast %1").arg(i);
      entries << entry;
      log_->AppendEntry(entry);
    }
    log_->FlushPending();
    QStringList paragraphTexts;
    QStringList lineTexts;
    for (const QString& entry : entries) {
      paragraphTexts << LogWindow::ShownLines(entry).join(QChar::LineSeparator);
      lineTexts << LogWindow::ShownLines(entry);
    }
    paragraphs.setPlainText(paragraphTexts.join(u'\n'));
    lines.setPlainText(lineTexts.join(u'\n'));
    QCOMPARE(log_->toPlainText(), lines.toPlainText());
    QCOMPARE(log_->document()->blockCount(), entries.size());
    for (QPlainTextEdit* plain : {&paragraphs, &lines})
      plain->verticalScrollBar()->setValue(plain->verticalScrollBar()->maximum());
    QCOMPARE(log_->verticalScrollBar()->maximum(), lines.verticalScrollBar()->maximum());
    QCOMPARE(log_->ShownLineCount(), lineTexts.size());
    QCOMPARE(log_->viewport()->grab().toImage(), paragraphs.viewport()->grab().toImage());
  }

  // Only the new lines are painted after each batch (the rest scrolls on
  // the screen): what the screen holds must be the whole view drawn afresh,
  // while the log fills and after it scrolls, one and several lines a batch.
  void paintsEachBatchAsTheWholeViewShowsIt() {
    QCoreApplication::processEvents();
    for (int batch = 0; batch < 30; ++batch) {
      for (int k = 0; k <= batch % 3; ++k) {
        log_->AppendEntry(QStringLiteral("%1.%2 %3%4")
                              .arg(batch)
                              .arg(k)
                              .arg(Words(batch % 11))
                              .arg(k == 1 ? QStringLiteral("\r\nsecond line") : QString()));
      }
      log_->FlushPending();
      QCoreApplication::processEvents();
      const QImage screen = log_->screen()->grabWindow(log_->winId()).toImage();
      const QImage whole = log_->grab().toImage();
      QCOMPARE(screen.convertToFormat(QImage::Format_RGB32),
               whole.convertToFormat(QImage::Format_RGB32));
    }
    QVERIFY(log_->verticalScrollBar()->value() > 0);  // it did scroll
  }

  // A log that is not full yet paints the new line and no more: neither the
  // lines above it nor the blank view below it.
  void paintsOnlyTheNewLinesWhileTheLogFills() {
    log_->AppendEntry(QStringLiteral("first"));
    log_->FlushPending();
    QCoreApplication::processEvents();
    PaintRecorder recorder(*log_);
    log_->AppendEntry(QStringLiteral("second"));
    log_->FlushPending();
    QCoreApplication::processEvents();
    const QRect painted = recorder.painted.boundingRect();
    const int lineHeight = QFontMetrics(log_->font()).lineSpacing();
    QVERIFY(!painted.isEmpty());
    QVERIFY2(painted.top() >= lineHeight && painted.bottom() < 3 * lineHeight,
             qPrintable(QStringLiteral("painted rows %1-%2, line height %3")
                            .arg(painted.top())
                            .arg(painted.bottom())
                            .arg(lineHeight)));
    QVERIFY(log_->viewport()->height() > 6 * lineHeight);  // the view had blank rows to spare
  }

  void drawsTheQueuedLinesInTheFrameThatPaintsThem() {
    QWidget window;
    window.resize(400, 200);
    auto* log = new LogWindow(&window);
    log->resize(400, 200);
    new PaintThrottle(&window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    PaintRecorder recorder(*log);
    for (int i = 0; i < 3; ++i) log->AppendEntry(QStringLiteral("line %1").arg(i));
    QCOMPARE(log->document()->blockCount(), 1);  // queued, not drawn yet
    QTRY_VERIFY(!recorder.blocksAtPaint.isEmpty());
    // The first paint after the lines came already showed all of them.
    QCOMPARE(recorder.blocksAtPaint.first(), 3);
    QCOMPARE(log->document()->lastBlock().text(), QStringLiteral("line 2"));
  }

  // Emptied again and again (a flood and the line limit), the log hands its
  // freed memory back once, a second after the last emptying.
  void handsTheFreedMemoryBackOnceTheEmptyingsStop() {
    int releases = 0;
    log_->releaseFreeMemory = [&] { ++releases; };
    QElapsedTimer since;
    for (int round = 0; round < 5; ++round) {
      for (int i = 0; i < 100; ++i) log_->AppendEntry(QStringLiteral("line %1").arg(i));
      log_->FlushPending();
      log_->Clear();
      since.start();
      QTest::qWait(LogWindow::kReleaseAfterMs / 5);
    }
    QCOMPARE(releases, 0);
    QTRY_COMPARE_WITH_TIMEOUT(releases, 1, 3 * LogWindow::kReleaseAfterMs);
    // A coarse timer may fire up to 5 % early.
    QVERIFY(since.elapsed() >= LogWindow::kReleaseAfterMs * 9 / 10);
    QTest::qWait(LogWindow::kReleaseAfterMs + 200);
    QCOMPARE(releases, 1);
  }

  void clearEmptiesTheViewTheEntriesAndTheCount() {
    log_->AppendEntry(QStringLiteral("drawn\r\nline"));
    log_->FlushPending();
    log_->AppendEntry(QStringLiteral("still queued"));
    log_->Clear();
    QCoreApplication::processEvents();
    QCOMPARE(log_->ShownLineCount(), 0);
    QVERIFY(log_->Entries().isEmpty());
    QCOMPARE(log_->toPlainText(), QString());
    log_->AppendEntry(QStringLiteral("after"));
    log_->FlushPending();
    QCOMPARE(log_->toPlainText(), QStringLiteral("after"));
    QCOMPARE(log_->ShownLineCount(), 1);
  }

  void replacesItsEntriesWithAnotherLogs() {
    log_->AppendEntry(QStringLiteral("old"));
    log_->ReplaceEntries({QStringLiteral("x\r\ny"), QStringLiteral("z")});
    log_->FlushPending();
    QCOMPARE(log_->toPlainText(), QStringLiteral("x\ny\nz"));
    QCOMPARE(log_->ShownLineCount(), 3);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::LogWindowTest)
#include "log_window_test.moc"
