#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/PushButton.h"
#include "widgets/ToolButton.h"
#include "widgets/TulvarMidiStyle.h"
#include "testkit/ImageStrips.h"

#include <QStyleOptionFocusRect>
#include <QtTest>

namespace {

QColor colourAt(QWidget& widget, QPoint point)
{
    return widget.grab().toImage().pixelColor(point);
}

} // namespace

class tst_ButtonImages : public QObject {
    Q_OBJECT

private slots:
    void pushButtonShowsTheHalfOfItsState()
    {
        PushButton button;
        button.setFixedSize(40, 30);
        button.setPixmap(frameStrip({Qt::red, Qt::blue}, 20));
        button.setImagePosition(5, 5);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));
        // Not checkable: the pressed state shows the right half.
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));

        button.setCheckable(true);
        QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
    }

    void paintCallbackReplacesAllPaintingAndImagesCentreOnShow()
    {
        PushButton painted;
        painted.setFixedSize(30, 30);
        painted.setPixmap(frameStrip({Qt::red, Qt::blue}, 10));
        painted.setPaintCallback([](PushButton& self, QPainter& painter) { painter.fillRect(self.rect(), Qt::green); });
        QCOMPARE(colourAt(painted, QPoint(3, 3)), QColor(Qt::green));

        PushButton centred;
        centred.setFixedSize(60, 34);
        centred.setPixmap(frameStrip({Qt::red, Qt::blue}, 20));
        centred.setCenterOnShow(true);
        centred.show();
        QVERIFY(QTest::qWaitForWindowExposed(&centred));
        QCOMPARE(centred.imagePosition(), QPoint(20, 6));
    }

    void toolButtonShowsTheDisabledHalfWhenDisabled()
    {
        ToolButton button;
        button.setFixedSize(32, 32);
        button.setPixmap(frameStrip({Qt::red, Qt::blue}, 32));
        QCOMPARE(colourAt(button, QPoint(16, 16)), QColor(Qt::red));
        button.setEnabled(false);
        QCOMPARE(colourAt(button, QPoint(16, 16)), QColor(Qt::blue));
    }

    void timingClockButtonShowsTheFrameOfCheckedAndDown()
    {
        QList<QColor> const frames{Qt::red, Qt::green, Qt::blue, Qt::yellow};
        MidiTimingClockPlayStopButton button;
        button.setCheckable(true);
        button.setPixmap(frameStrip(frames, 15));
        button.setFrameSize(15, 15);
        button.resize(40, 30);
        QCOMPARE(button.framePosition(), QPoint(12, 6));
        QPoint const inside = button.framePosition() + QPoint(7, 7);

        QCOMPARE(colourAt(button, inside), frames[0]);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(colourAt(button, inside), frames[1]);
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(colourAt(button, inside), frames[2]);
        button.setDown(true);
        QCOMPARE(colourAt(button, inside), frames[3]);
    }

    void transportButtonPaintsTheButtonFaceThenTheImage()
    {
        QWidget window;
        MidiTransportPanelPlayStopButton button(&window);
        PushButton plain(&window);
        for (PushButton* b : {static_cast<PushButton*>(&button), &plain}) {
            b->setPixmap(frameStrip({Qt::red, Qt::blue}, 10));
            b->setImagePosition(15, 15);
            b->resize(60, 34);
        }
        window.show();

        QImage const shot = button.grab().toImage();
        QCOMPARE(shot.pixelColor(20, 20), QColor(Qt::red));
        // Beside the image the standard face shows, where a bare PushButton shows nothing.
        QImage const bare = plain.grab().toImage();
        QVERIFY(shot.pixelColor(1, 17) != bare.pixelColor(1, 17));
    }

    void styleWidensScrollBarsAndDropsFocusRectangles()
    {
        TulvarMidiStyle style;
        QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 18);

        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QImage const untouched = image;
        QPainter painter(&image);
        QStyleOptionFocusRect option;
        option.rect = QRect(2, 2, 36, 36);
        option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
        painter.end();
        QCOMPARE(image, untouched);
    }
};

QTEST_MAIN(tst_ButtonImages)
#include "tst_ButtonImages.moc"
