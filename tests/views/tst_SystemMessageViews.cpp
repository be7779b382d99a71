// What the timing clock, active sensing, transport panel and custom message views do of their
// own; what every tool view does alike is tst_ToolViewContract's.

#include "ViewFixture.h"
#include "testkit/Hex.h"

#include "support/LookConstants.h"
#include "views/MidiActivesensingView.h"
#include "views/MidiCustomMidiMessageView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "views/MidiTransportPanelView.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/SpinBox.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>

namespace {

const QString YamahaMessage = QStringLiteral("F0 43 10 4C 00 00 7E 00 F7");

void press(QPushButton* button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

bool allAre(const QList<QByteArray>& messages, char status)
{
    return std::all_of(messages.begin(), messages.end(), [status](const QByteArray& m) { return m == QByteArray(1, status); });
}

// Closing must stop the sending: nothing more arrives in a span that holds many intervals.
bool staysSilent(FakeMainWindow& mainWindow)
{
    const int before = mainWindow.transmitter.count();
    QTest::qWait(400);
    return mainWindow.transmitter.count() == before;
}

} // namespace

class tst_SystemMessageViews : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ViewFixture>(); }
    void cleanup() { f.reset(); }

    void receivedTempoIsShownInWholeBeats_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("1204") << 1204 << "120 BPM";
        QTest::newRow("1205 rounds up") << 1205 << "121 BPM";
        QTest::newRow("no clock") << 0 << "--- BPM";
        QTest::newRow("below 5") << 44 << "--- BPM";
        QTest::newRow("above 300") << 3006 << "300 BPM";
    }
    void receivedTempoIsShownInWholeBeats()
    {
        QFETCH(int, tenths);
        QFETCH(QString, text);
        MidiTimingClockGeneratorView view(nullptr, &f->model);
        view.setReceivedTimingClock((unsigned long)tenths);
        QCOMPARE(view.receivedTempoLabel()->text(), text);
    }

    void playingSendsFlashesIsSavedAndStopsOnClose_data()
    {
        QTest::addColumn<bool>("clock");
        QTest::addColumn<int>("messages");
        QTest::newRow("timing clock at 300 BPM") << true << 24;
        QTest::newRow("active sensing every 100 ms") << false << 2;
    }
    void playingSendsFlashesIsSavedAndStopsOnClose()
    {
        QFETCH(bool, clock);
        QFETCH(int, messages);
        // A view with its rate knob at the fastest, and its play or transmit switch.
        const auto make = [&](MidiLedCombinedDial*& knob, QAbstractButton*& play) -> QWidget* {
            if (clock) {
                auto* view = new MidiTimingClockGeneratorView(nullptr, &f->model);
                knob = view->tempoKnob();
                play = view->playButton();
                return view;
            }
            auto* view = new MidiActivesensingView(nullptr, &f->model);
            knob = view->intervalKnob();
            play = view->transmitButton();
            return view;
        };
        MidiLedCombinedDial* knob = nullptr;
        QAbstractButton* play = nullptr;
        std::unique_ptr<QWidget> view(make(knob, play));
        knob->setValue(clock ? 300 : 100);
        QVERIFY(!knob->isLedOn());
        play->click();
        QVERIFY(f->mainWindow.transmitter.waitForMessages(messages));
        QVERIFY(allAre(f->mainWindow.transmitter.sentBytes(), char(clock ? 0xF8 : 0xFE)));
        QTRY_VERIFY_WITH_TIMEOUT(knob->isLedOn(), 10000);
        QCOMPARE(play->text(), clock ? QString() : QStringLiteral("Stop"));
        const QByteArray payload = ViewFixture::write(*dynamic_cast<FileStream*>(view.get()));
        view->close();
        QVERIFY(staysSilent(f->mainWindow));

        // Opened from a project saved while playing, it plays at once.
        std::unique_ptr<QWidget> opened(make(knob, play));
        QVERIFY(ViewFixture::read(*dynamic_cast<FileStream*>(opened.get()), payload));
        QVERIFY(f->mainWindow.transmitter.waitForMessages(f->mainWindow.transmitter.count() + messages));
        play->click();
        QCOMPARE(play->text(), clock ? QString() : QStringLiteral("Transmit"));
        QVERIFY(clock || !knob->isLedOn());
        QVERIFY(staysSilent(f->mainWindow));
    }

    void committedTransportValuesAreSent_data()
    {
        QTest::addColumn<bool>("songNumber");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("position 16383") << false << 16383 << "F2 7F 7F";
        QTest::newRow("position 128") << false << 128 << "F2 00 01";
        QTest::newRow("song 1") << true << 1 << "F3 00";
        QTest::newRow("song 128") << true << 128 << "F3 7F";
    }
    void committedTransportValuesAreSent()
    {
        QFETCH(bool, songNumber);
        QFETCH(int, value);
        QFETCH(QString, message);
        MidiTransportPanelView view(nullptr, &f->model);
        view.show();
        SpinBox* spinBox = songNumber ? view.songNumberSpinBox() : view.songPositionSpinBox();
        // Start away from the value, so that committing it is a change.
        spinBox->setWidgetValue(value == 1 ? 2 : 1);
        spinBox->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(spinBox, QString::number(value));
        QTest::keyClick(spinBox, Qt::Key_Return);
        QCOMPARE(f->takeSent(), QStringList{message});
    }

    void transportButtonsSendOneByteWithoutMarkingTheProject()
    {
        MidiTransportPanelView view(nullptr, &f->model);
        f->clearEdited();
        for (QPushButton* button : {static_cast<QPushButton*>(view.stopButton()), static_cast<QPushButton*>(view.continueButton()),
                                    static_cast<QPushButton*>(view.startButton())}) {
            QVERIFY(!button->isCheckable());
            press(button);
        }
        QCOMPARE(f->takeSent(), (QStringList{"FC", "FB", "FA"}));
        QVERIFY(!f->edited());
    }

    void knobWritesTheTargetByteAndSends_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("target");
        QTest::addColumn<QByteArray>("sent"); // with the knob at 100; null: the knob is grey and silent
        QTest::newRow("byte 8 of a dump") << YamahaMessage << 8 << hex("F043104C00007E64F7");
        QTest::newRow("commas and blanks in any mix") << QStringLiteral("B0,07 ,00") << 3 << hex("B00764");
        QTest::newRow("no separators") << QStringLiteral("B00700") << 2 << hex("B06400");
        QTest::newRow("target 0") << YamahaMessage << 0 << QByteArray();
        QTest::newRow("past the last byte") << YamahaMessage << 10 << QByteArray();
    }
    void knobWritesTheTargetByteAndSends()
    {
        QFETCH(QString, message);
        QFETCH(int, target);
        QFETCH(QByteArray, sent);
        MidiCustomMidiMessageView view(nullptr, &f->model);
        view.messageEdit()->setText(message);
        view.targetSpinBox()->setValue(target);
        QCOMPARE(view.isTransmittable(), !sent.isNull());
        QCOMPARE(view.valueKnob()->arcStartColor(), sent.isNull() ? QColor(Qt::gray) : StartGradientColorOfKnobMeter);
        view.valueKnob()->setValue(100);
        if (sent.isNull()) {
            // "Transmit" still sends, unchanged; the knob's turn before it sent nothing.
            press(view.transmitButton());
            sent = hex(message.toLatin1().constData());
        }
        QVERIFY(f->mainWindow.transmitter.waitForMessages(1));
        QCOMPARE(f->mainWindow.transmitter.sentBytes(), QList<QByteArray>{sent});
    }

    void targetPositionFromTheCursor_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<int>("target");
        QTest::newRow("just after a blank, into the next byte") << YamahaMessage << 6 << 7;
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
        MidiCustomMidiMessageView view(nullptr, &f->model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QMenu* menu = openContextMenu(view.messageEdit());
        QVERIFY(menu != nullptr);
        QCOMPARE(menu->actions().last()->text(), QStringLiteral("Set byte position of '--' to Knob Target Byte"));
        QVERIFY(!menu->actions().last()->isEnabled());
        menu->close();

        view.messageEdit()->setText(YamahaMessage);
        view.messageEdit()->setCursorPosition(6);
        menu = openContextMenu(view.messageEdit());
        QVERIFY(menu != nullptr);
        QAction* entry = menu->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("Set byte position of '10' to Knob Target Byte"));
        entry->trigger();
        menu->close();
        QCOMPARE(view.targetSpinBox()->value(), 3);
    }

private:
    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_SystemMessageViews)
#include "tst_SystemMessageViews.moc"
