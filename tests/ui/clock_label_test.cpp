#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include "common/clock_text.h"
#include "ui/main_form.h"
#include "ui/text_codec.h"

namespace velmora::ui {

class ClockLabelTest : public QObject {
  Q_OBJECT

 private slots:
  void theWidestClockTextFitsTheLabelAndATwelveHourOneWouldNot() {
    MainForm form;
    auto* label = form.findChild<QLabel*>(QStringLiteral("TextTime"));
    QVERIFY(label != nullptr);
    LocalTime t;
    t.hour = 23;
    t.minute = 59;
    t.second = 59;
    const QString text = ToQString(ClockText(t));
    QCOMPARE(text, QStringLiteral("23:59:59"));
    const QFontMetrics metrics(label->font());
    const int room = label->contentsRect().width();
    QVERIFY2(
        metrics.horizontalAdvance(text) <= room,
        qPrintable(QStringLiteral("%1 px in %2").arg(metrics.horizontalAdvance(text)).arg(room)));
    QVERIFY(metrics.horizontalAdvance(QStringLiteral("12:59:59 PM")) > room);
  }
};

}  // namespace velmora::ui

QTEST_MAIN(velmora::ui::ClockLabelTest)
#include "clock_label_test.moc"
