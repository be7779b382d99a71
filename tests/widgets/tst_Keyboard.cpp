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
};

// Centre of a white key's lower half, below the black keys.
QPoint whiteKeyPoint(int whiteIndex)
{
    return QPoint(whiteIndex * 25 + 12, 80);
}

} // namespace

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

    void keyGeometryFollowsTheWhiteKeySize()
    {
        // The first black key's rectangle (19, 0, 11, 63) is pinned by the hit-test corners.
        QCOMPARE(m_keyboard->whiteKeys().last().rect, QRect(1850, 0, 25, 100));
        // F# of the first octave: j = 3, x = trunc(100 - 5.978) = 94.
        QCOMPARE(m_keyboard->blackKeys()[2].note, quint8(6));
        QCOMPARE(m_keyboard->blackKeys()[2].rect.x(), 94);
        QCOMPARE(m_keyboard->sizeHint().width(), 1876);

        // A null key size means 50 x 200.
        Keyboard keyboard(nullptr, QSizeF(0.0, 0.0));
        QCOMPARE(keyboard.whiteKeySize(), QSizeF(50.0, 200.0));
        // b = 23.913: x = trunc(50 - 11.957) = 38, height trunc(126.67) = 126, rounded 127.
        QCOMPARE(keyboard.blackKeys().first().rect, QRect(38, 0, 23, 126));
        QCOMPARE(keyboard.getBlackKeyHeight(), 127);
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

    void clickPlaysANoteUntilRelease()
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

    // The pressure keyboard plays notes as the plain one does: without pressure, and latched.
    void glissandoReleasesTheOldKeyBeforeTheNewOne_data() { pressureKinds(PressureKeyboard::PressureModeOff); }

    void glissandoReleasesTheOldKeyBeforeTheNewOne()
    {
        usePressureKind();
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::NoModifier, whiteKeyPoint(35));
        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(35) + QPoint(3, 0));
        QCOMPARE(m_log.events, QStringList{"on60"});

        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(36));
        QCOMPARE(m_log.events, (QStringList{"on60", "off60"}));
        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(36) + QPoint(1, 0));
        QCOMPARE(m_log.events, (QStringList{"on60", "off60", "on62"}));
        // Moving off the keys changes nothing.
        WidgetEvents::mouseMove(m_keyboard, QPoint(900, 150));
        QCOMPARE(m_log.events.size(), 3);

        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::NoModifier, QPoint(900, 150));
        QCOMPARE(m_log.events, (QStringList{"on60", "off60", "on62", "off62"}));
    }

    void latchedDragAddsNotes_data() { pressureKinds(PressureKeyboard::PressureModeKey); }

    void latchedDragAddsNotes()
    {
        usePressureKind();
        QTest::mousePress(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(35));
        WidgetEvents::mouseMove(m_keyboard, QPoint(35 * 25 + 25, 30), Qt::LeftButton, Qt::ControlModifier);
        WidgetEvents::mouseMove(m_keyboard, whiteKeyPoint(36), Qt::LeftButton, Qt::ControlModifier);
        QTest::mouseRelease(m_keyboard, Qt::LeftButton, Qt::ControlModifier, whiteKeyPoint(36));
        QCOMPARE(m_log.events, (QStringList{"on60", "on61", "on62"}));
        QVERIFY(!m_keyboard->isAllNotOff());
    }

    void noteOnToOffReleasesAscending()
    {
        m_keyboard->noteOn(90);
        m_keyboard->noteOn(3);
        m_keyboard->noteOn(127);
        m_log.events.clear();
        m_keyboard->noteOnToOff();
        QCOMPARE(m_log.events, (QStringList{"off3", "off90", "off127"}));
        QVERIFY(m_keyboard->isAllNotOff());

        // Without a callback the state still follows.
        m_keyboard->setNoteCallbackFunc(nullptr, nullptr);
        m_keyboard->noteOn(5);
        QVERIFY(m_keyboard->isNoteOn(5));
        m_keyboard->noteOff(5);
        QVERIFY(m_keyboard->isAllNotOff());
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
        QFETCH(QString, leftmost);
        QFETCH(QString, note60);
        m_keyboard->setMiddleCOffset(offset);
        QCOMPARE(m_keyboard->keyLabel(0), leftmost);
        QCOMPARE(m_keyboard->keyLabel(35), note60);
        QCOMPARE(m_keyboard->keyLabel(36), QString());
        // Painting with labels and a sounding key works at every offset.
        m_keyboard->onColor = QColor(160, 160, 185);
        m_keyboard->noteOn(60);
        QImage const image = m_keyboard->grab().toImage();
        QCOMPARE(image.pixelColor(whiteKeyPoint(35) + QPoint(0, -40)), QColor(160, 160, 185));
        QCOMPARE(image.pixelColor(QPoint(24, 30)), QColor(Qt::black));
    }

private:
    void makeKeyboard(bool pressure)
    {
        delete m_keyboard;
        m_log = NoteLog();
        m_keyboard = pressure ? new PressureKeyboard(nullptr, QSizeF(25.0, 100.0)) : new Keyboard(nullptr, QSizeF(25.0, 100.0));
        m_keyboard->setGeometry(0, 0, 1875, 101);
        m_keyboard->setNoteCallbackFunc(&NoteLog::record, &m_log);
        m_keyboard->show();
    }

    void pressureKinds(int pressureMode)
    {
        QTest::addColumn<int>("pressureMode");
        QTest::newRow("keyboard") << -1;
        QTest::newRow("pressure keyboard") << pressureMode;
    }

    void usePressureKind()
    {
        QFETCH(int, pressureMode);
        if (pressureMode >= 0) {
            makeKeyboard(true);
            static_cast<PressureKeyboard*>(m_keyboard)->setPressureMode(pressureMode);
        }
    }

    Keyboard* m_keyboard = nullptr;
    NoteLog m_log;
};

QTEST_MAIN(KeyboardTest)
#include "tst_Keyboard.moc"
