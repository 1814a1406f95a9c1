#include "ui/text_codec.h"

#include <QTest>

namespace velmora::ui {

class TextCodecTest : public QObject {
  Q_OBJECT

 private slots:
  void everyByteSurvivesTheRoundTrip() {
    Bytes all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const QString text = ToQString(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(ToBytes(text), all);
  }

  void mapsBytesToTheirCodePoints_data() {
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");
    QTest::newRow("ASCII letter") << 0x41 << 0x41;
    QTest::newRow("NUL") << 0x00 << 0x00;
    QTest::newRow("capital A of the Cyrillic") << 0xC0 << 0x0410;
    QTest::newRow("small ya") << 0xFF << 0x044F;
    QTest::newRow("small yo") << 0xB8 << 0x0451;
    QTest::newRow("euro sign") << 0x88 << 0x20AC;
    QTest::newRow("numero sign") << 0xB9 << 0x2116;
    QTest::newRow("unassigned 0x98 kept as a control") << 0x98 << 0x0098;
  }
  void mapsBytesToTheirCodePoints() {
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QString text = ToQString(Bytes(1, static_cast<char>(byte)));
    QCOMPARE(text.size(), 1);
    QCOMPARE(static_cast<int>(text.at(0).unicode()), codePoint);
  }

  void writesRussianAsTheCodePageBytes() {
    QCOMPARE(ToBytes(QStringLiteral("Привет, ёж")),
             Bytes("\xCF\xF0\xE8\xE2\xE5\xF2\x2C\x20\xB8\xE6"));
  }

  void replacesWhatTheCodePageLacksByAQuestionMark_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CJK character") << QStringLiteral("a中b") << QByteArray("a?b");
    QTest::newRow("surrogate pair is one character")
        << QString::fromUcs4(U"a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone high surrogate")
        << (QStringLiteral("a") + QChar(0xD800) + u'b') << QByteArray("a?b");
    QTest::newRow("lone low surrogate")
        << (QChar(0xDC00) + QStringLiteral("z")) << QByteArray("?z");
    QTest::newRow("question mark itself") << QStringLiteral("?") << QByteArray("?");
  }
  void replacesWhatTheCodePageLacksByAQuestionMark() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(ToBytes(text), bytes.toStdString());
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::TextCodecTest)
#include "text_codec_test.moc"
