#include "MidiEditFixture.h"
#include "testkit/Hex.h"

#include "support/LookConstants.h"
#include "views/MidiCustomMidiMessageView.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/SpinBox.h"

#include <QPushButton>
#include <QtTest>

namespace {

const QString YamahaMessage = QStringLiteral("F0 43 10 4C 00 00 7E 00 F7");

void press(QPushButton* button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

} // namespace

class tst_CustomMidiMessageView : public QObject {
    Q_OBJECT

private slots:
    void init() { m_fixture = std::make_unique<MidiEditFixture>(); }
    void cleanup() { m_fixture.reset(); }

    void knobWritesTheTargetByteAndSends_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("value");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("byte 8 of a dump") << YamahaMessage << 8 << 100 << hex("F043104C00007E64F7");
        QTest::newRow("two digits") << QStringLiteral("B0 07 00") << 3 << 5 << hex("B00705");
        QTest::newRow("commas and blanks in any mix") << QStringLiteral("B0,07 ,00") << 3 << 127 << hex("B0077F");
        QTest::newRow("no separators") << QStringLiteral("B00700") << 2 << 10 << hex("B00A00");
    }

    void knobWritesTheTargetByteAndSends()
    {
        QFETCH(QString, message);
        QFETCH(int, target);
        QFETCH(int, value);
        QFETCH(QByteArray, sent);
        MidiCustomMidiMessageView view(nullptr, &m_fixture->model);
        view.messageEdit()->setText(message);
        view.targetSpinBox()->setValue(target);
        QVERIFY(view.isTransmittable());
        QCOMPARE(view.valueKnob()->arcStartColor(), StartGradientColorOfKnobMeter);

        view.valueKnob()->setValue(value);
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(1));
        QCOMPARE(m_fixture->mainWindow.transmitter.sentBytes(), QList<QByteArray>{sent});
    }

    void withoutItsTargetByteTheKnobIsGreyAndSilent_data()
    {
        QTest::addColumn<int>("target");
        QTest::newRow("target 0") << 0;
        QTest::newRow("past the last byte") << 10;
    }

    void withoutItsTargetByteTheKnobIsGreyAndSilent()
    {
        QFETCH(int, target);
        MidiCustomMidiMessageView view(nullptr, &m_fixture->model);
        view.messageEdit()->setText(YamahaMessage);
        view.targetSpinBox()->setValue(target);
        QVERIFY(!view.isTransmittable());
        QCOMPARE(view.valueKnob()->arcStartColor(), QColor(Qt::gray));
        QCOMPARE(view.valueKnob()->arcEndColor(), QColor(Qt::white));

        view.valueKnob()->setValue(64);
        // "Transmit" still sends, unchanged; the knob's turn before it sent nothing.
        press(view.transmitButton());
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(1));
        QCOMPARE(m_fixture->mainWindow.transmitter.sentBytes(), QList<QByteArray>{hex("F0 43 10 4C 00 00 7E 00 F7")});
    }

    void targetPositionFromTheCursor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("target");
        QTest::newRow("just after a blank, into the next byte") << YamahaMessage << 6 << 7;
        QTest::newRow("inside a byte") << YamahaMessage << 4 << 4;
        QTest::newRow("at the start") << YamahaMessage << 0 << 0;
        QTest::newRow("at the end") << YamahaMessage << 26 << 26;
        QTest::newRow("a single digit follows") << QStringLiteral("F0 4 5") << 3 << 3;
        // Only one character follows: nothing to read after it, and no crash.
        QTest::newRow("before the last character") << QStringLiteral("F0 4") << 3 << 4;
    }

    void targetPositionFromTheCursor()
    {
        QFETCH(QString, text);
        QFETCH(int, pos);
        QFETCH(int, target);
        QCOMPARE(MidiCustomMidiMessageView::calculateTargetPositionFrom(pos, text), target);
    }

    void contextMenuOffersTheByteUnderTheCursor()
    {
        MidiCustomMidiMessageView view(nullptr, &m_fixture->model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        QMenu* menu = openContextMenu(view.messageEdit());
        QVERIFY(menu != nullptr);
        QAction* entry = menu->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("Set byte position of '--' to Knob Target Byte"));
        QVERIFY(!entry->isEnabled());
        menu->close();

        view.messageEdit()->setText(YamahaMessage);
        view.messageEdit()->setCursorPosition(6);
        menu = openContextMenu(view.messageEdit());
        QVERIFY(menu != nullptr);
        entry = menu->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("Set byte position of '10' to Knob Target Byte"));
        QVERIFY(entry->isEnabled());
        entry->trigger();
        menu->close();
        QCOMPARE(view.targetSpinBox()->value(), 3);
    }

    void payloadRoundTripsAndANewViewSendsNothingWhileRead()
    {
        MidiCustomMidiMessageView saved(nullptr, &m_fixture->model);
        saved.nameEdit()->setText(QStringLiteral("Volume"));
        saved.messageEdit()->setText(QStringLiteral("B0 07 00"));
        saved.targetSpinBox()->setValue(3);
        saved.valueKnob()->setValue(90);
        QVERIFY(m_fixture->mainWindow.transmitter.waitForMessages(1));
        QByteArray payload;
        QDataStream out(&payload, QIODevice::WriteOnly);
        QVERIFY(saved.getDataStream(out));

        MidiCustomMidiMessageView opened(nullptr, &m_fixture->model);
        QDataStream in(payload);
        QVERIFY(opened.setDataStream(in));
        QCOMPARE(opened.nameEdit()->text(), QStringLiteral("Volume"));
        QCOMPARE(opened.messageEdit()->text(), QStringLiteral("B0 07 00"));
        QCOMPARE(opened.messageEdit()->cursorPosition(), 0);
        QCOMPARE(opened.valueKnob()->value(), 90);
        QCOMPARE(opened.targetSpinBox()->value(), 3);
        // The knob was set while the message was still empty: only the first view's send.
        QTest::qWait(200);
        QCOMPARE(m_fixture->mainWindow.transmitter.count(), 1);

        // An empty name and message are stored as empty, not as a failed save.
        MidiCustomMidiMessageView empty(nullptr, &m_fixture->model);
        QByteArray emptyPayload;
        QDataStream emptyOut(&emptyPayload, QIODevice::WriteOnly);
        QVERIFY(empty.getDataStream(emptyOut));
    }

private:
    std::unique_ptr<MidiEditFixture> m_fixture;
};

QTEST_MAIN(tst_CustomMidiMessageView)
#include "tst_CustomMidiMessageView.moc"
