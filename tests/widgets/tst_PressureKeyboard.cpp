#include "widgets/PressureKeyboard.h"

#include "testkit/WidgetEvents.h"

#include <QtTest>

namespace {

struct PressureLog
{
    QStringList events;

    static void note(void* context, unsigned char note, bool on)
    {
        static_cast<PressureLog*>(context)->events << QStringLiteral("%1%2").arg(on ? "on" : "off").arg(note);
    }
    static void keyPressure(void* context, unsigned char note, unsigned char value)
    {
        static_cast<PressureLog*>(context)->events << QStringLiteral("kp%1=%2").arg(note).arg(value);
    }
    static void channelPressure(void* context, unsigned char value)
    {
        static_cast<PressureLog*>(context)->events << QStringLiteral("cp=%1").arg(value);
    }
};

// x in the lower half of a white key, where no black key lies.
int whiteKeyX(int whiteIndex)
{
    return whiteIndex * 25 + 12;
}

const int C4 = 35; // white index of note 60
const int E4 = 37; // note 64
const int C5 = 42; // note 72

} // namespace

class PressureKeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_log = PressureLog();
        m_keyboard = new PressureKeyboard(nullptr, QSizeF(25.0, 100.0));
        m_keyboard->setGeometry(0, 0, 1875, 101);
        m_keyboard->setNoteCallbackFunc(&PressureLog::note, &m_log);
        m_keyboard->setKeyPressureCallbackFunc(&PressureLog::keyPressure, &m_log);
        m_keyboard->setChannelPressureCallbackFunc(&PressureLog::channelPressure, &m_log);
        m_keyboard->show();
    }

    void cleanup()
    {
        delete m_keyboard;
        m_keyboard = nullptr;
    }

    void pressureFromVerticalPosition_data()
    {
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("value");
        // value = 127 - round((100 - y) * 1.28), clamped.
        QTest::newRow("bottom edge") << 100 << 127;
        QTest::newRow("middle") << 50 << 63;
        QTest::newRow("top edge") << 0 << 0;
        QTest::newRow("above the widget") << -20 << 0;
        QTest::newRow("below the widget") << 150 << 127;
    }

    void pressureFromVerticalPosition()
    {
        QFETCH(int, y);
        QFETCH(int, value);
        QCOMPARE(m_keyboard->convertYPositionToValue(y), value);
    }

    void keyPressureForEverySoundingNoteAscending()
    {
        m_keyboard->setPressureMode(PressureKeyboard::PressureModeKey);
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, QPoint(whiteKeyX(C5), 80));
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, QPoint(whiteKeyX(E4), 80));
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::ControlModifier, QPoint(whiteKeyX(C4), 80));
        QCOMPARE(m_log.events, (QStringList{"on72", "on64", "on60"}));
        // The press itself sends no pressure.
        QCOMPARE(m_keyboard->pressureValue(), 101); // 127 - round(25.6)

        m_log.events.clear();
        drag(50);
        QCOMPARE(m_log.events, (QStringList{"kp60=63", "kp64=63", "kp72=63"}));
        QCOMPARE(m_keyboard->pressureValue(), 63);
    }

    void channelPressureOnlyWhileANoteSounds()
    {
        m_keyboard->setPressureMode(PressureKeyboard::PressureModeChannel);
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        drag(80);
        drag(80, Qt::NoModifier, C4 + 1); // sideways onto another key: no note change, same value
        QCOMPARE(m_log.events, QStringList{"on60"});
        drag(79);
        drag(50);
        drag(60);
        QCOMPARE(m_log.events, (QStringList{"on60", "cp=100", "cp=63", "cp=76"})); // 127 - round(26.88) = 100
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 60));

        // A press that only releases latched notes leaves nothing sounding: no pressure.
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, QPoint(whiteKeyX(E4), 80));
        m_log.events.clear();
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        QCOMPARE(m_log.events, QStringList{"off64"});
        drag(40);
        drag(20);
        QCOMPARE(m_log.events, QStringList{"off64"});
        QVERIFY(m_keyboard->isPressing());
    }

    void fineModeAnchorsWhereShiftWasFirstSeen()
    {
        m_keyboard->setPressureMode(PressureKeyboard::PressureModeChannel);
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        drag(60, Qt::ShiftModifier);                  // anchor 60: plain value 76
        drag(50, Qt::ShiftModifier);                  // 76 - round(10 * 100 / 256) = 72
        drag(40, Qt::ShiftModifier);                  // 76 - round(7.8125) = 68
        drag(40);                                     // Shift released: plain value at once
        drag(30, Qt::ShiftModifier);                  // new anchor 30: plain value 37
        drag(20, Qt::ShiftModifier);                  // 37 - 4 = 33
        drag(200, Qt::ShiftModifier);                 // 37 + round(66.4) = 103
        drag(300, Qt::ShiftModifier);                 // 37 + round(105.5) clamps to 127
        QCOMPARE(m_log.events,
                 (QStringList{"on60", "cp=76", "cp=72", "cp=68", "cp=50", "cp=37", "cp=33", "cp=103", "cp=127"}));
    }

    void releaseEndsThePressureDragAndItsHoldOnTheWheel()
    {
        QWidget parent;
        m_keyboard->setParent(&parent);
        m_keyboard->setPressureMode(PressureKeyboard::PressureModeKey);
        QVERIFY(!WidgetEvents::wheel(m_keyboard, QPoint(100, 50), -120));
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        QVERIFY(m_keyboard->isPressing());
        QVERIFY(WidgetEvents::wheel(m_keyboard, QPoint(100, 50), -120, Qt::LeftButton));
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        QVERIFY(!m_keyboard->isPressing());
        QCOMPARE(m_keyboard->pressureValue(), PressureKeyboard::NoPressureValue);
        QVERIFY(!WidgetEvents::wheel(m_keyboard, QPoint(100, 50), -120));
        m_log.events.clear();
        drag(10);
        QVERIFY(m_log.events.isEmpty());

        // A press beside the keys starts no drag.
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
        QVERIFY(!m_keyboard->isPressing());
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
        m_keyboard->setParent(nullptr);
    }

    void overlayGeometry()
    {
        // White key: the box starts at the key; the mouse in the lower half puts it at the top.
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        QCOMPARE(m_keyboard->getRectForPressureValueDrawing(QPoint(whiteKeyX(C4), 80)), QRect(875, 0, 25, 15));
        QCOMPARE(m_keyboard->getRectForPressureValueDrawing(QPoint(whiteKeyX(C4), 50)), QRect(875, 85, 25, 15));
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));

        // Black key 61 at x = trunc(36 * 25 - 5.978) = 894: the box is shifted 6 to the left.
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(899, 30));
        QCOMPARE(m_keyboard->getRectForPressureValueDrawing(QPoint(899, 30)), QRect(888, 85, 25, 15));
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(899, 30));
    }

    void overlayIsDrawnOnlyDuringAPressureDrag()
    {
        QColor const blue(Qt::blue);
        QPoint const probe(300, 50); // on the value line for 63, far from the value box
        m_keyboard->setPressureMode(PressureKeyboard::PressureModeChannel);
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 80));
        drag(50);
        QCOMPARE(m_keyboard->grab().toImage().pixelColor(probe), blue);
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(whiteKeyX(C4), 50));
        QVERIFY(m_keyboard->grab().toImage().pixelColor(probe) != blue);
    }

private:
    void drag(int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int whiteIndex = C4)
    {
        WidgetEvents::mouseMove(m_keyboard, QPoint(whiteKeyX(whiteIndex), y), Qt::LeftButton, modifiers);
    }

    PressureKeyboard* m_keyboard = nullptr;
    PressureLog m_log;
};

QTEST_MAIN(PressureKeyboardTest)
#include "tst_PressureKeyboard.moc"
