#include "widgets/Keyboard.h"
#include "widgets/PressureKeyboard.h"

#include "testkit/WidgetEvents.h"

#include <QtTest>

namespace {

struct NoteLog
{
    QStringList events;

    static void record(void* context, unsigned char note, bool on)
    {
        static_cast<NoteLog*>(context)->events << QStringLiteral("%1%2").arg(on ? "on" : "off").arg(note);
    }
    static void keyPressure(void* context, unsigned char note, unsigned char value)
    {
        static_cast<NoteLog*>(context)->events << QStringLiteral("kp%1=%2").arg(note).arg(value);
    }
    static void channelPressure(void* context, unsigned char value)
    {
        static_cast<NoteLog*>(context)->events << QStringLiteral("cp=%1").arg(value);
    }
};

// A point on a white key; the default height lies below the black keys.
QPoint whiteKeyPoint(int whiteIndex, int y = 80)
{
    return QPoint(whiteIndex * 25 + 12, y);
}

const int C4 = 35; // white index of note 60
const int E4 = 37; // note 64
const int C5 = 42; // note 72

} // namespace

// The keyboard's notes, and the pressure the pressure keyboard adds to them.
class KeyboardTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { makeKeyboard(false); }

    void cleanup()
    {
        delete m_keyboard;
        m_keyboard = nullptr;
    }

    void nullKeySizeMeansTheDefaultSize()
    {
        Keyboard keyboard(nullptr, QSizeF(0.0, 0.0));
        QCOMPARE(keyboard.whiteKeySize(), QSizeF(50.0, 200.0));
    }

    void hitTestFindsBlackKeysFirstWithEdgesIncluded_data()
    {
        QTest::addColumn<QPoint>("pos");
        QTest::addColumn<int>("note");
        QTest::addColumn<bool>("white");
        QTest::newRow("black key top-left corner") << QPoint(19, 0) << 1 << false;
        QTest::newRow("black key bottom-right corner") << QPoint(29, 62) << 1 << false;
        QTest::newRow("below the black key, right") << QPoint(25, 63) << 2 << true;
        QTest::newRow("left of the black key") << QPoint(18, 10) << 0 << true;
        QTest::newRow("between E and F, no black key") << QPoint(75, 10) << 5 << true;
        QTest::newRow("last white key") << QPoint(1874, 99) << 127 << true;
        QTest::newRow("right of the keys") << QPoint(1875, 50) << 255 << false;
        QTest::newRow("below the keys") << QPoint(10, 100) << 255 << false;
    }

    void hitTestFindsBlackKeysFirstWithEdgesIncluded()
    {
        QFETCH(QPoint, pos);
        QFETCH(int, note);
        QFETCH(bool, white);
        bool isWhite = !white;
        QCOMPARE(int(m_keyboard->noteNumber(pos, isWhite)), note);
        QCOMPARE(isWhite, white);
        QCOMPARE(int(m_keyboard->noteNumber(pos)), note);
    }

    void keyboardRectOfEveryNote()
    {
        QRect rect;
        for (int note = 0; note < 128; ++note) {
            QVERIFY(m_keyboard->getKeyboardRect(static_cast<unsigned char>(note), rect));
            QCOMPARE(int(m_keyboard->noteNumber(rect.center())), note);
        }
        QVERIFY(!m_keyboard->getKeyboardRect(128, rect));
        QVERIFY(rect.isNull());
    }

    void clickPlaysANoteUntilReleaseAndAllNotesReleaseAscending()
    {
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(35));
        QCOMPARE(m_log.events, QStringList{"on60"});
        QVERIFY(m_keyboard->isNoteOn(60));
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(35));
        QCOMPARE(m_log.events, (QStringList{"on60", "off60"}));

        // A press outside every key does nothing.
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
        QCOMPARE(m_log.events.size(), 2);

        // Other buttons play nothing, pressed or dragged.
        QTest::mousePress(m_keyboard, Qt::RightButton, Qt::NoModifier, whiteKeyPoint(35));
        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(36), Qt::RightButton);
        QTest::mouseRelease(m_keyboard, Qt::RightButton, Qt::NoModifier, whiteKeyPoint(36));
        QCOMPARE(m_log.events.size(), 2);
        QVERIFY(m_keyboard->isAllNotOff());

        // Releasing every note goes in ascending order; without a callback the state still follows.
        m_keyboard->noteOn(90);
        m_keyboard->noteOn(3);
        m_keyboard->noteOn(127);
        m_log.events.clear();
        m_keyboard->noteOnToOff();
        QCOMPARE(m_log.events, (QStringList{"off3", "off90", "off127"}));
        QVERIFY(m_keyboard->isAllNotOff());
        m_keyboard->setNoteCallbackFunc(nullptr, nullptr);
        m_keyboard->noteOn(5);
        QVERIFY(m_keyboard->isNoteOn(5));
        m_keyboard->noteOff(5);
        QVERIFY(m_keyboard->isAllNotOff());
    }

    void ctrlClickLatchesAndTogglesNotes()
    {
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(35));
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(37));
        QCOMPARE(m_log.events, (QStringList{"on60", "on64"}));

        // Ctrl-click on a sounding note turns just that one off; the release keeps the rest.
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(35));
        QCOMPARE(m_log.events, (QStringList{"on60", "on64", "off60"}));
        QVERIFY(m_keyboard->isNoteOn(64));

        // Ctrl together with another modifier is no latch: a plain press first releases every
        // latched note, and that press plays nothing itself.
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(35));
        m_log.events.clear();
        QTest::mouseClick(m_keyboard, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, whiteKeyPoint(36));
        QCOMPARE(m_log.events, (QStringList{"off60", "off64"}));
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(40));
        QCOMPARE(m_log.events, (QStringList{"off60", "off64", "on69"}));
    }

    // A plain drag releases the old key, and the next move plays the new one; a latched drag adds
    // notes. The pressure keyboard plays notes as the plain one does.
    void dragAcrossTheKeys_data()
    {
        QTest::addColumn<int>("pressureMode"); // -1: the plain keyboard
        QTest::addColumn<bool>("latched");
        QTest::addColumn<QStringList>("events");
        QStringList const glissando{"on60", "off60", "on62", "off62"};
        QStringList const added{"on60", "on61", "on62"};
        QTest::newRow("keyboard") << -1 << false << glissando;
        QTest::newRow("pressure keyboard, no pressure") << int(PressureKeyboard::PressureModeOff) << false << glissando;
        QTest::newRow("keyboard, latched") << -1 << true << added;
        QTest::newRow("pressure keyboard, latched") << int(PressureKeyboard::PressureModeKey) << true << added;
    }

    void dragAcrossTheKeys()
    {
        QFETCH(int, pressureMode);
        QFETCH(bool, latched);
        if (pressureMode >= 0)
            pressureKeyboard()->setPressureMode(pressureMode);
        Qt::KeyboardModifiers const modifiers = latched ? Qt::ControlModifier : Qt::NoModifier;
        QTest::mousePress(m_keyboard, Qt::LeftButton, modifiers, whiteKeyPoint(C4));
        // Inside the first key, then the black key, the next white key and off the keys.
        QList<QPoint> const path{whiteKeyPoint(C4) + QPoint(3, 0), QPoint(C4 * 25 + 25, 30), whiteKeyPoint(C4 + 1),
                                 QPoint(900, 150)};
        for (QPoint const& point : path)
            WidgetEvents::mouseMove(m_keyboard, point, Qt::LeftButton, modifiers);
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, modifiers, QPoint(900, 150));
        QTEST(m_log.events, "events");
    }

    void labelsFollowTheMiddleCOffset_data()
    {
        QTest::addColumn<int>("offset");
        QTest::addColumn<QString>("leftmost");
        QTest::addColumn<QString>("note60");
        QTest::newRow("offset 0") << 0 << "C-2" << "C3";
        QTest::newRow("offset 2") << 2 << "C0" << "C5";
    }

    void labelsFollowTheMiddleCOffset()
    {
        QFETCH(int, offset);
        m_keyboard->setMiddleCOffset(offset);
        QTEST(m_keyboard->keyLabel(0), "leftmost");
        QTEST(m_keyboard->keyLabel(35), "note60");
        QCOMPARE(m_keyboard->keyLabel(36), QString());
        // Painting with labels and a sounding key works at every offset.
        m_keyboard->onColor = QColor(160, 160, 185);
        m_keyboard->noteOn(60);
        QImage const image = m_keyboard->grab().toImage();
        QCOMPARE(image.pixelColor(whiteKeyPoint(35) + QPoint(0, -40)), QColor(160, 160, 185));
    }

    void channelPressureFollowsTheDragOnlyWhileANoteSounds()
    {
        PressureKeyboard* pk = pressureKeyboard();
        pk->setPressureMode(PressureKeyboard::PressureModeChannel);
        QTest::mousePress(pk, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(C4, 80));
        drag(80);
        drag(80, Qt::NoModifier, C4 + 1); // sideways onto another key: no note change, same value
        QCOMPARE(m_log.events, QStringList{"on60"});
        drag(79);
        drag(50);
        drag(60);
        drag(-20); // above and below the keys the value stops at its ends
        drag(150);
        // 127 - round((100 - y) * 1.28)
        QCOMPARE(m_log.events, (QStringList{"on60", "cp=100", "cp=63", "cp=76", "cp=0", "cp=127"}));

        // Fine mode anchors where Shift was first seen.
        m_log.events.clear();
        drag(60, Qt::ShiftModifier);                  // anchor 60: plain value 76
        drag(50, Qt::ShiftModifier);                  // 76 - round(10 * 100 / 256) = 72
        drag(40, Qt::ShiftModifier);                  // 76 - round(7.8125) = 68
        drag(40);                                     // Shift released: plain value at once
        drag(30, Qt::ShiftModifier);                  // new anchor 30: plain value 37
        drag(20, Qt::ShiftModifier);                  // 37 - 4 = 33
        drag(200, Qt::ShiftModifier);                 // 37 + round(66.4) = 103
        drag(300, Qt::ShiftModifier);                 // 37 + round(105.5) clamps to 127
        QCOMPARE(m_log.events, (QStringList{"cp=76", "cp=72", "cp=68", "cp=50", "cp=37", "cp=33", "cp=103", "cp=127"}));
        QTest::mouseRelease(pk, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(C4, 300));

        // A press that only releases latched notes leaves nothing sounding: no pressure.
        QTest::mouseClick(pk, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(E4, 80));
        m_log.events.clear();
        QTest::mousePress(pk, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(C4, 80));
        QCOMPARE(m_log.events, QStringList{"off64"});
        drag(40);
        drag(20);
        QCOMPARE(m_log.events, QStringList{"off64"});
        QVERIFY(pk->isPressing());
    }

    // Key pressure goes to every sounding note, ascending; the drag holds the wheel and draws the
    // value overlay until the release.
    void keyPressureReachesEverySoundingNoteUntilTheRelease()
    {
        PressureKeyboard* pk = pressureKeyboard();
        QWidget parent;
        pk->setParent(&parent);
        auto const unparent = qScopeGuard([pk] { pk->setParent(nullptr); }); // cleanup() deletes it
        pk->setPressureMode(PressureKeyboard::PressureModeKey);
        QPoint const probe(300, 50); // on the value line for 63, far from the value box
        QVERIFY(!WidgetEvents::wheel(pk, QPoint(100, 50), -120));
        QTest::mouseClick(pk, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(C5, 80));
        QTest::mouseClick(pk, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(E4, 80));
        QTest::mousePress(pk, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(C4, 80));
        QCOMPARE(m_log.events, (QStringList{"on72", "on64", "on60"}));
        // The press itself sends no pressure.
        QCOMPARE(pk->pressureValue(), 101); // 127 - round(25.6)
        QVERIFY(pk->isPressing());
        m_log.events.clear();
        drag(50);
        QCOMPARE(m_log.events, (QStringList{"kp60=63", "kp64=63", "kp72=63"}));
        QCOMPARE(pk->grab().toImage().pixelColor(probe), QColor(Qt::blue));
        QVERIFY(WidgetEvents::wheel(pk, QPoint(100, 50), -120, Qt::LeftButton));
        QTest::mouseRelease(pk, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(C4, 50));
        QVERIFY(!pk->isPressing());
        QVERIFY(pk->grab().toImage().pixelColor(probe) != QColor(Qt::blue));
        QCOMPARE(pk->pressureValue(), PressureKeyboard::NoPressureValue);
        QVERIFY(!WidgetEvents::wheel(pk, QPoint(100, 50), -120));
        m_log.events.clear();
        drag(10);
        QVERIFY(m_log.events.isEmpty());

        // A press beside the keys starts no drag.
        QTest::mousePress(pk, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
        QVERIFY(!pk->isPressing());
        QTest::mouseRelease(pk, Qt::LeftButton, Qt::NoModifier, QPoint(10, 100));
    }

private:
    void drag(int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier, int whiteIndex = C4)
    {
        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(whiteIndex, y), Qt::LeftButton, modifiers);
    }

    PressureKeyboard* pressureKeyboard()
    {
        makeKeyboard(true);
        auto* keyboard = static_cast<PressureKeyboard*>(m_keyboard);
        keyboard->setKeyPressureCallbackFunc(&NoteLog::keyPressure, &m_log);
        keyboard->setChannelPressureCallbackFunc(&NoteLog::channelPressure, &m_log);
        return keyboard;
    }

    void makeKeyboard(bool pressure)
    {
        delete m_keyboard;
        m_log = NoteLog();
        m_keyboard = pressure ? new PressureKeyboard(nullptr, QSizeF(25.0, 100.0)) : new Keyboard(nullptr, QSizeF(25.0, 100.0));
        m_keyboard->setGeometry(0, 0, 1875, 101);
        m_keyboard->setNoteCallbackFunc(&NoteLog::record, &m_log);
        m_keyboard->show();
    }

    Keyboard* m_keyboard = nullptr;
    NoteLog m_log;
};

QTEST_MAIN(KeyboardTest)
#include "tst_Keyboard.moc"
