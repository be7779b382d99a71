#include "widgets/MidiPitchbendSlider.h"

#include "testkit/WidgetEvents.h"

#include <QSignalSpy>
#include <QtTest>

class MidiPitchbendSliderTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_slider = new MidiPitchbendSlider;
        m_slider->resize(43, 161);
        m_slider->show();
    }

    void cleanup()
    {
        delete m_slider;
        m_slider = nullptr;
    }

    void springBackReturnsToRestUnlessHeld()
    {
        QSignalSpy spy(m_slider, &MidiPitchbendSlider::valueChanged);
        // A click on the rest value changes nothing.
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(20, 80));
        QCOMPARE(spy.count(), 0);
        QTest::mousePress(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(20, 50));
        QCOMPARE(m_slider->value(), 93);
        // round(127 / (161 - 30) * (146 - y)), stopping at the ends of the track
        WidgetEvents::mouseMove(m_slider, QPoint(20, 160));
        QCOMPARE(m_slider->value(), 0);
        WidgetEvents::mouseMove(m_slider, QPoint(20, -40));
        QCOMPARE(m_slider->value(), 127);
        QTest::mouseRelease(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(20, -40));
        QCOMPARE(m_slider->value(), 64);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(spy.at(0).at(0).toInt(), 93);

        // Held, the value stays until a Ctrl-click or the return to spring-back.
        m_slider->setWheelMode(MidiPitchbendSlider::Hold);
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::NoModifier, QPoint(20, 100));
        QCOMPARE(m_slider->value(), 45);
        QTest::mouseClick(m_slider, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 20));
        QCOMPARE(m_slider->value(), 64);
        m_slider->setValue(100);
        spy.clear();
        m_slider->setWheelMode(MidiPitchbendSlider::SpringBack);
        QCOMPARE(m_slider->value(), 64);
        QCOMPARE(spy.count(), 1);

        // In hold mode the wheel is consumed without a change.
        m_slider->setWheelMode(MidiPitchbendSlider::Hold);
        QWidget parent;
        m_slider->setParent(&parent);
        auto const unparent = qScopeGuard([this] { m_slider->setParent(nullptr); }); // cleanup() deletes it
        QVERIFY(WidgetEvents::wheel(m_slider, QPoint(20, 80), 120));
        QVERIFY(WidgetEvents::wheel(m_slider, QPoint(20, 80), -360));
        QCOMPARE(spy.count(), 1);
    }

    void keysActOnlyInHoldMode_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("value");
        QTest::newRow("Home") << int(Qt::Key_Home) << 127;
        QTest::newRow("End") << int(Qt::Key_End) << 0;
        QTest::newRow("Up") << int(Qt::Key_Up) << 65;
        QTest::newRow("Minus") << int(Qt::Key_Minus) << 63;
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 74;
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 54;
    }

    void keysActOnlyInHoldMode()
    {
        QFETCH(int, key);
        QFETCH(int, value);
        QTest::keyClick(m_slider, Qt::Key(key));
        QCOMPARE(m_slider->value(), 64);
        m_slider->setWheelMode(MidiPitchbendSlider::Hold);
        QTest::keyClick(m_slider, Qt::Key(key));
        QCOMPARE(m_slider->value(), value);
    }

    void thumbIsDrawnAtTheValue()
    {
        m_slider->setWheelMode(MidiPitchbendSlider::Hold);
        for (int value : {0, 127}) {
            m_slider->setValue(value);
            int const top = m_slider->thumbTop();
            QVERIFY(top >= 0 && top + 30 <= m_slider->height());
            QImage const image = m_slider->grab().toImage();
            // Inside the thumb the gradient is light; just above it the background shows.
            QVERIFY(qGray(image.pixel(21, top + 15)) > 190);
            if (top > 2)
                QVERIFY(image.pixel(10, top - 2) != image.pixel(10, top + 15));
        }
    }

private:
    MidiPitchbendSlider* m_slider = nullptr;
};

QTEST_MAIN(MidiPitchbendSliderTest)
#include "tst_MidiPitchbendSlider.moc"
