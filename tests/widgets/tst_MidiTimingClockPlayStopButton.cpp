#include "widgets/MidiTimingClockPlayStopButton.h"

#include <QPainter>
#include <QtTest>

class MidiTimingClockPlayStopButtonTest : public QObject
{
    Q_OBJECT

private slots:
    void frameFollowsCheckedAndDown();
    void frameIsCentred();
    void paintsTheChosenFrame();
};

void MidiTimingClockPlayStopButtonTest::frameFollowsCheckedAndDown()
{
    MidiTimingClockPlayStopButton button;
    button.setCheckable(true);
    QCOMPARE(button.getPixmapNumber(), 0);
    button.setDown(true);
    QCOMPARE(button.getPixmapNumber(), 1);
    button.setDown(false);
    button.setChecked(true);
    QCOMPARE(button.getPixmapNumber(), 2);
    button.setDown(true);
    QCOMPARE(button.getPixmapNumber(), 3);
}

void MidiTimingClockPlayStopButtonTest::frameIsCentred()
{
    MidiTimingClockPlayStopButton button;
    button.setFrameSize(15, 15);
    button.resize(40, 30);
    // (round(20) - round(7.5), round(15) - round(8.5))
    QCOMPARE(button.framePosition(), QPoint(12, 6));
    button.resize(41, 31);
    QCOMPARE(button.framePosition(), QPoint(13, 7));
}

void MidiTimingClockPlayStopButtonTest::paintsTheChosenFrame()
{
    QColor const frames[4] = {Qt::red, Qt::green, Qt::blue, Qt::yellow};
    QPixmap strip(120, 30);
    {
        QPainter painter(&strip);
        for (int i = 0; i < 4; ++i)
            painter.fillRect(i * 30, 0, 30, 30, frames[i]);
    }
    strip.setDevicePixelRatio(2.0);

    MidiTimingClockPlayStopButton button;
    button.setCheckable(true);
    button.setPixmap(strip);
    button.setFrameSize(15, 15);
    button.resize(40, 30);
    QPoint const inside = button.framePosition() + QPoint(7, 7);

    QCOMPARE(button.grab().toImage().pixelColor(inside), frames[0]);
    QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QCOMPARE(button.grab().toImage().pixelColor(inside), frames[1]);
    QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QVERIFY(button.isChecked());
    QCOMPARE(button.grab().toImage().pixelColor(inside), frames[2]);
    button.setDown(true);
    QCOMPARE(button.grab().toImage().pixelColor(inside), frames[3]);
}

QTEST_MAIN(MidiTimingClockPlayStopButtonTest)
#include "tst_MidiTimingClockPlayStopButton.moc"
