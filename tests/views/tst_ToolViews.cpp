// The tool views: what every kind promises alike, over a table of all kinds, then what each does
// of its own.

#include "ViewFixture.h"

#include "engine/KeyboardNoteEventManager.h"
#include "persistence/ProjectFileHelper.h"
#include "support/LookConstants.h"
#include "testkit/Hex.h"
#include "testkit/WidgetEvents.h"
#include "views/MidiActivesensingView.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiCustomMidiMessageView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiFilterDetailView.h"
#include "views/MidiFilterView.h"
#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiKeyboardViewScrollArea.h"
#include "views/MidiPCKeyboardView.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiProgramChangeView.h"
#include "views/MidiSettingsView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "views/MidiTransportPanelView.h"
#include "views/PreferencesView.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/PushButton.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>
#include <memory>

namespace {

using Action = std::function<void(QWidget*)>;

struct Kind {
    const char* name;
    std::function<QWidget*(TulvarMidiModel*)> make;
    Action change; // one user change of a setting
    QStringList changeSends;
    Action transmit; // the view's one-shot transmit; null when it has none
    QStringList transmitSends;
    Records damaged; // empty: the payload holds nothing to damage
    Records clamped; // what the view writes back after reading `damaged`
    QStringList clampedSends; // what transmit sends then
};

template <class View>
std::function<QWidget*(TulvarMidiModel*)> maker()
{
    return [](TulvarMidiModel* model) { return new View(nullptr, model); };
}

template <class View>
Action on(std::function<void(View&)> action)
{
    return [action](QWidget* view) { action(*static_cast<View*>(view)); };
}

// Middle C (note 60) and the E above it, low on their white keys.
const QPoint MiddleC(35 * 25 + 12, 90);
const QPoint MiddleE(37 * 25 + 12, 90);

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> all{
        {"control change", [](TulvarMidiModel* model) { return new MidiControlChangeView(nullptr, 7, model); },
         on<MidiControlChangeView>([](auto& v) { v.valueDial()->setValue(10); }), {"B0 07 0A"},
         on<MidiControlChangeView>([](auto& v) { v.transmitButton()->click(); }), {"B0 07 0A"},
         {{0, 40}, {1, 300}, {2, 1000}, {3, 0}}, {{0, 16}, {1, 7}, {2, 127}, {3, 0}}, {"BF 07 7F"}},
        {"program change", maker<MidiProgramChangeView>(),
         on<MidiProgramChangeView>([](auto& v) { v.programNumberDisplay()->increase(); }), {},
         on<MidiProgramChangeView>([](auto& v) { v.transmitButton()->click(); }), {"C0 01"},
         {{0, 17}, {1, 1}, {2, 999}, {3, 7}, {4, -3}, {5, 5000}, {6, 0}, {7, 1}},
         {{0, 16}, {1, 1}, {2, 127}, {3, 1}, {4, 0}, {5, 128}, {6, 0}, {7, 1}}, {"BF 00 7F", "BF 20 00", "CF 7F"}},
        {"pitch bend", maker<MidiPitchbendView>(),
         on<MidiPitchbendView>([](auto& v) { v.slider()->setValue(127); }), {"E0 7F 7F"},
         on<MidiPitchbendView>([](auto& v) { v.transmitButton()->click(); }), {"E0 7F 7F"},
         {{0, 0}, {1, 0}, {2, 99999}}, {{0, 1}, {1, 0}, {2, 8191}}, {"E0 7F 7F"}},
        {"keyboard",
         [](TulvarMidiModel* model) {
             auto* view = new MidiKeyboardView(nullptr, model);
             view->resize(600, view->sizeHint().height());
             view->show();
             return view;
         },
         on<MidiKeyboardView>([](auto& v) { v.upperView()->velocitySpinBox()->setValue(100); }), {},
         on<MidiKeyboardView>([](auto& v) { QTest::mouseClick(v.keyboard(), Qt::LeftButton, {}, MiddleC); }),
         {"90 3C 64", "80 3C 00"}, {{0, -50}, {1, 99}, {2, -5}, {3, 9}}, {{0, 0}, {1, 16}, {2, 0}, {3, 0}},
         {"9F 3C 00", "8F 3C 00"}},
        {"timing clock", maker<MidiTimingClockGeneratorView>(),
         on<MidiTimingClockGeneratorView>([](auto& v) { v.tempoKnob()->setValue(240); }), {}, nullptr, {},
         {{0, 9999}, {1, 0}}, {{0, 300}, {1, 0}}, {}},
        {"transport panel", maker<MidiTransportPanelView>(),
         on<MidiTransportPanelView>([](auto& v) { v.songNumberSpinBox()->stepBy(1); }), {"F3 01"},
         on<MidiTransportPanelView>([](auto& v) {
             for (QPushButton* button : QList<QPushButton*>{v.songPositionTransmitButton(), v.stopButton(),
                                                            v.continueButton(), v.startButton()})
                 button->click();
         }),
         {"F2 00 00", "FC", "FB", "FA"}, {{0, 999}, {1, 99999}}, {{0, 128}, {1, 16383}}, {"F2 7F 7F", "FC", "FB", "FA"}},
        {"active sensing", maker<MidiActivesensingView>(),
         on<MidiActivesensingView>([](auto& v) { v.intervalKnob()->setValue(500); }), {}, nullptr, {},
         {{0, 5}, {1, 0}}, {{0, 100}, {1, 0}}, {}},
        {"custom message", maker<MidiCustomMidiMessageView>(),
         on<MidiCustomMidiMessageView>([](auto& v) { v.messageEdit()->setText(QStringLiteral("B0 07 00")); }), {},
         on<MidiCustomMidiMessageView>([](auto& v) { v.transmitButton()->click(); }), {"B0 00 00"},
         {{0, QStringLiteral("Volume")}, {1, 500}, {2, QStringLiteral("B0 07 00")}, {3, 999}},
         {{0, QStringLiteral("Volume")}, {1, 127}, {2, QStringLiteral("B0 07 00")}, {3, 191}}, {"B0 07 00"}},
        {"message editor",
         [](TulvarMidiModel* m) { return new MidiEditView(nullptr, m, MidiEditView::SystemExclusiveEdit, QString()); },
         on<MidiEditView>([](auto& v) { v.generalView()->setText(QStringLiteral("C0 05")); }), {},
         on<MidiEditView>([](auto& v) { v.generalView()->transmitMenuSelected(); }), {"C0 05"}, {}, {}, {}},
        {"filter", maker<MidiFilterView>(), nullptr, {}, nullptr, {}, {}, {}, {}},
        {"PC keyboard", maker<MidiPCKeyboardView>(), nullptr, {}, nullptr, {}, {}, {}, {}},
        {"MIDI settings", maker<MidiSettingsView>(), nullptr, {}, nullptr, {}, {}, {}, {}},
    };
    return all;
}

FileStream& streamOf(const std::unique_ptr<QWidget>& view)
{
    return *dynamic_cast<FileStream*>(view.get());
}

const QString YamahaMessage = QStringLiteral("F0 43 10 4C 00 00 7E 00 F7");

// Closing must stop the sending: nothing more arrives in a span that holds many intervals.
bool staysSilent(FakeMainWindow& mainWindow)
{
    const int before = mainWindow.transmitter.count();
    QTest::qWait(400);
    return mainWindow.transmitter.count() == before;
}

using PortDirection = MidiSettingsView::PortDirection;

// The user picks an entry: activated is what the view listens to.
void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

QList<int> parameters(TulvarMidiModel& model, unsigned int first, int count)
{
    QList<int> values;
    for (int i = 0; i < count; ++i) {
        values.append(model.getModelIntValue(first + unsigned(i)));
    }
    return values;
}

// Why the parser is needed, as the view shows it ("off: " before it while the view or the
// control that needs the parser is disabled).
QString parserState(QWidget* view)
{
    if (auto* filter = qobject_cast<MidiFilterView*>(view)) {
        const QWidget* overlay = filter->disabledOverlay();
        return (filter->isEnabled() ? "" : "off: ") + (overlay->isHidden() ? "" : overlay->findChild<QLabel*>()->text());
    }
    if (auto* clock = qobject_cast<MidiTimingClockGeneratorView*>(view)) {
        return (clock->receivedTempoLabel()->isEnabled() ? "" : "off: ") + clock->receivedTempoLabel()->toolTip();
    }
    if (auto* settings = qobject_cast<MidiSettingsView*>(view)) {
        return (settings->bulkIntervalSpinBox()->isEnabled() ? "" : "off: ") + settings->bulkIntervalSpinBox()->toolTip();
    }
    return "off: " + static_cast<MidiEditView*>(view)->progressView()->message();
}

} // namespace

class tst_ToolViews : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ViewFixture>();
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Drums"), QStringLiteral("Pad")};
        f->mainWindow.openPorts.insert(QStringLiteral("out1"), QStringLiteral("Drums"));
    }
    void cleanup() { f.reset(); }

    void everyToolViewKeepsTheContract_data()
    {
        QTest::addColumn<int>("kind");
        for (size_t i = 0; i < kinds().size(); ++i) {
            QTest::newRow(kinds()[i].name) << int(i);
        }
    }
    void everyToolViewKeepsTheContract()
    {
        QFETCH(int, kind);
        const Kind& k = kinds()[size_t(kind)];
        std::unique_ptr<QWidget> view(k.make(&f->model));
        QVERIFY(f->edited());
        QVERIFY(f->takeSent().isEmpty());
        if (k.change) {
            f->clearEdited();
            k.change(view.get());
            QVERIFY(f->edited());
            QCOMPARE(f->takeSent(), k.changeSends);
        }
        QStringList got; // the editor and the custom message view send from a worker thread
        if (k.transmit) {
            f->clearEdited();
            k.transmit(view.get());
            QTRY_COMPARE_WITH_TIMEOUT(got += f->takeSent(), k.transmitSends, 10000);
            QVERIFY(!f->edited());
        }

        const QByteArray payload = ViewFixture::write(streamOf(view));
        QVERIFY(payload != "<failed>");
        f->mainWindow.openingProject = true;
        std::unique_ptr<QWidget> opened(k.make(&f->model));
        QVERIFY(ViewFixture::read(streamOf(opened), payload));
        QCOMPARE(ViewFixture::write(streamOf(opened)), payload);
        if (!k.damaged.isEmpty()) {
            std::unique_ptr<QWidget> damaged(k.make(&f->model));
            QVERIFY(ViewFixture::read(streamOf(damaged), ViewFixture::payloadOf(k.damaged)));
            QCOMPARE(ViewFixture::write(streamOf(damaged)), ViewFixture::payloadOf(k.clamped));
            f->mainWindow.openingProject = false;
            if (k.transmit) {
                k.transmit(damaged.get());
                got.clear();
                QTRY_COMPARE_WITH_TIMEOUT(got += f->takeSent(), k.clampedSends, 10000);
            }
        }
        QVERIFY(f->takeSent().isEmpty());

        f->clearEdited();
        view->close();
        QVERIFY(f->edited());
        for (const TransmittedMessage& message : f->mainWindow.transmitter.messages()) {
            QCOMPARE(message.group, OutputPortGroupBoth);
            // The custom message view alone sends at once, its message being one the user times.
            QCOMPARE(message.skipBulkWait, qstrcmp(k.name, "custom message") == 0);
        }
    }

    void parserOffDisablesWhatNeedsItAndSaysWhy_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("function");
        QTest::newRow("filter") << 9 << "Filter";
        QTest::newRow("received tempo") << 4 << "Receive";
        QTest::newRow("bulk interval") << 11 << "Bulk interval";
        QTest::newRow("message receive") << -1 << "Message receive";
    }
    void parserOffDisablesWhatNeedsItAndSaysWhy()
    {
        QFETCH(int, kind);
        QFETCH(QString, function);
        const QString on = kind < 0 ? "off: 0Bytes" : "";
        const auto make = [&] {
            return kind >= 0 ? kinds()[size_t(kind)].make(&f->model)
                             : new MidiEditView(nullptr, &f->model, MidiEditView::SystemExclusiveReceive, QString());
        };
        const QString off = "off: " + function + " function is currently disabled.\nTurn On File > Preferences > Parser.";
        std::unique_ptr<QWidget> view(make());
        QCOMPARE(parserState(view.get()), on);
        f->model.setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(parserState(view.get()), off);
        std::unique_ptr<QWidget> second(make());
        QCOMPARE(parserState(second.get()), off);
        f->model.setModelIntValue(MessageParsedParameterId, 1);
        QCOMPARE(parserState(view.get()), on);
    }

    void choosingAnotherControllerMovesOnlyTheResetValue()
    {
        MidiControlChangeView view(nullptr, 1, &f->model);
        view.valueDial()->setValue(30);
        f->takeSent();
        view.controllerComboBox()->setCurrentIndex(7);
        QCOMPARE(view.valueDial()->value(), 30);
        QCOMPARE(view.valueDial()->resetValue(), 100);
        QVERIFY(f->takeSent().isEmpty());
        // Stored as an int, which project files and the settings file can hold.
        QVERIFY(ProjectFileHelper::isStorableParameter(view.getRestorationParameters().value(0)));
    }

    void programAutoTransmitSendsOnEveryChangeSwitchingTheBaseKeepsTheProgramTransmitSendsTheCheckedBankByte()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        SevenSegment* display = view.programNumberDisplay();
        view.autoTransmitCheckBox()->setChecked(true);
        for (SpinBox* spinBox : {view.channelSpinBox(), view.msbSpinBox(), view.lsbSpinBox()}) {
            spinBox->stepBy(1);
            QCOMPARE(f->takeSent().size(), 1);
        }
        display->increase();
        QCOMPARE(f->takeSent().size(), 1);
        display->setValue(5);
        f->takeSent();
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        QCOMPARE(display->value(), 4);
        QCOMPARE(display->maximum(), 127);
        QCOMPARE(display->resetValue(), 0);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 1);
        QCOMPARE(display->value(), 5);
        QVERIFY(f->takeSent().isEmpty());

        view.autoTransmitCheckBox()->setChecked(false);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        view.channelSpinBox()->setWidgetValue(3);
        view.lsbCheckBox()->setChecked(true);
        view.lsbSpinBox()->setWidgetValue(9);
        display->setValue(127);
        view.transmitButtonPressed();
        QCOMPARE(f->takeSent(), (QStringList{"B2 20 09", "C2 7F"}));
    }

    void savedProgramNumberIsConvertedToTheCurrentBase_data()
    {
        QTest::addColumn<int>("currentBase");
        QTest::addColumn<int>("savedBase"); // -1: no record
        QTest::addColumn<int>("saved");
        QTest::addColumn<int>("shown");
        QTest::newRow("saved zero-based, now one-based") << 1 << 0 << 4 << 5;
        QTest::newRow("no base record, now zero-based") << 0 << -1 << 5 << 4;
    }
    void savedProgramNumberIsConvertedToTheCurrentBase()
    {
        QFETCH(int, currentBase);
        QFETCH(int, savedBase);
        QFETCH(int, saved);
        QFETCH(int, shown);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, currentBase);
        MidiProgramChangeView view(nullptr, &f->model);
        Records records{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, saved}, {6, 0}};
        if (savedBase >= 0) {
            records.append({7, savedBase});
        }
        QVERIFY(ViewFixture::read(view, ViewFixture::payloadOf(records)));
        QCOMPARE(view.programNumberDisplay()->value(), shown);
    }

    void pitchBendDisplayAndSliderMoveEachOtherAndSendOnce_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("fromSlider"); // the slider step gives the same display and message
        QTest::newRow("centre") << 0 << 64 << "E0 00 40" << true;
        QTest::newRow("bottom") << -8192 << 0 << "E0 00 00" << true;
        QTest::newRow("first step up") << 130 << 65 << "E0 02 41" << true;
        QTest::newRow("last step down") << -128 << 63 << "E0 00 3F" << true;
        QTest::newRow("just above the first step") << 129 << 64 << "E0 01 41" << false;
        QTest::newRow("just below centre") << -1 << 63 << "E0 7F 3F" << false;
    }
    void pitchBendDisplayAndSliderMoveEachOtherAndSendOnce()
    {
        QFETCH(int, display);
        QFETCH(int, step);
        QFETCH(QString, sent);
        QFETCH(bool, fromSlider);
        QStringList got;
        MidiPitchbendView view(nullptr, &f->model);
        view.wheelModeCheckBox()->setChecked(false);
        for (int value : {display + 1, display}) {
            view.displaySpinBox()->setValue(value);
            view.displaySpinBox()->inputCompletion();
            got = f->takeSent();
        }
        QCOMPARE(got, QStringList{sent});
        QCOMPARE(view.slider()->value(), step);
        if (fromSlider) {
            view.slider()->setValue(step == 64 ? 0 : 64);
            f->takeSent();
            view.slider()->setValue(step);
            QCOMPARE(f->takeSent(), QStringList{sent});
            QCOMPARE(view.displaySpinBox()->value(), display);
        }
    }

    void pitchBendWheelModeRecentresAndLocksTheDisplayAndBeyondFourteenBitsIsRefused()
    {
        MidiPitchbendView view(nullptr, &f->model);
        QVERIFY(!view.displaySpinBox()->isEnabled());
        view.wheelModeCheckBox()->setChecked(false);
        QVERIFY(view.displaySpinBox()->isEnabled());
        view.slider()->setValue(100);
        f->takeSent();
        view.wheelModeCheckBox()->setChecked(true);
        QCOMPARE(view.slider()->value(), 64);
        QCOMPARE(f->takeSent(), QStringList{"E0 00 40"});
        unsigned char msb = 1;
        unsigned char lsb = 1;
        QVERIFY(!MidiPitchbendView::convertPitchBendValueToMsbLsb(16384, msb, lsb));
        QCOMPARE(msb + lsb, 0);
        QCOMPARE(MidiPitchbendView::convertPitchBendValueToSliderValue(-9000), 0);
        view.transmitPitchbendMessage(0, -1);
        QVERIFY(f->takeSent().isEmpty());
    }

    void keyboardPressureModesSendKeyOrChannelPressure_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sent");
        // Halfway up the key is pressure 63; the press itself sends only the note.
        QTest::newRow("Channel") << 1 << QStringList{"90 3C 40", "D0 3F"};
        QTest::newRow("Key") << 2 << QStringList{"90 3C 40", "A0 3C 3F"};
    }
    void keyboardPressureModesSendKeyOrChannelPressure()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, sent);
        auto view = makeKeyboard();
        view->upperView()->pressureComboBox()->setCurrentIndex(mode);
        QTest::mousePress(view->keyboard(), Qt::LeftButton, Qt::NoModifier, MiddleC);
        WidgetEvents::mouseMove(view->keyboard(), QPoint(MiddleC.x(), 50));
        QCOMPARE(f->takeSent(), sent);
    }

    void keyboardOpensCentredKeepsItsScrollAndReleasesSoundingKeysOnChannelChangeAndClose()
    {
        auto view = makeKeyboard();
        QScrollBar* bar = view->scrollArea()->horizontalScrollBar();
        const int centre = int((bar->maximum() - bar->minimum()) * 0.5);
        QCOMPARE(bar->value(), centre);

        f->clearEdited();
        QWidget* viewport = view->scrollArea()->viewport();
        QWheelEvent swipe(QPointF(5, 5), QPointF(viewport->mapToGlobal(QPoint(5, 5))), QPoint(3, 40), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(viewport, &swipe);
        QCOMPARE(bar->value(), centre + 40);
        QVERIFY(f->edited());
        // Shown again (a minimised window restored), it stays where the user left it.
        view->hide();
        view->show();
        QCOMPARE(bar->value(), centre + 40);

        QTest::mousePress(view->keyboard(), Qt::LeftButton, Qt::NoModifier, MiddleC);
        view->upperView()->channelSpinBox()->setValue(2);
        QTest::mouseClick(view->keyboard(), Qt::LeftButton, Qt::ControlModifier, MiddleC);
        QTest::mouseClick(view->keyboard(), Qt::LeftButton, Qt::ControlModifier, MiddleE);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 40", "80 3C 00", "91 3C 40", "91 40 40"}));
        view->close();
        QCOMPARE(f->takeSent(), (QStringList{"81 3C 00", "81 40 00"}));
    }

    void receivedTempoIsShownInWholeBeats_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<QString>("text");
        QTest::newRow("1204") << 1204 << "120 BPM";
        QTest::newRow("1205 rounds up") << 1205 << "121 BPM";
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
        QTest::newRow("timing clock at 300 BPM") << true;
        QTest::newRow("active sensing every 100 ms") << false;
    }
    void playingSendsFlashesIsSavedAndStopsOnClose()
    {
        QFETCH(bool, clock);
        const int messages = clock ? 24 : 2;
        const auto make = [&](MidiLedCombinedDial*& knob, QAbstractButton*& play) -> QWidget* {
            QWidget* view = kinds()[clock ? 4 : 6].make(&f->model);
            knob = view->findChild<MidiLedCombinedDial*>();
            auto* clockView = qobject_cast<MidiTimingClockGeneratorView*>(view);
            play = clockView ? static_cast<QAbstractButton*>(clockView->playButton())
                             : static_cast<MidiActivesensingView*>(view)->transmitButton();
            return view;
        };
        MidiLedCombinedDial* knob = nullptr;
        QAbstractButton* play = nullptr;
        std::unique_ptr<QWidget> view(make(knob, play));
        knob->setValue(clock ? 300 : 100);
        QVERIFY(!knob->isLedOn()); // rate knob at the fastest
        play->click();
        QVERIFY(f->mainWindow.transmitter.waitForMessages(messages));
        const QList<QByteArray> sent = f->mainWindow.transmitter.sentBytes();
        QCOMPARE(sent.count(QByteArray(1, char(clock ? 0xF8 : 0xFE))), sent.size());
        QTRY_VERIFY_WITH_TIMEOUT(knob->isLedOn(), 10000);
        QCOMPARE(play->text(), clock ? QString() : QStringLiteral("Stop"));
        const QByteArray payload = ViewFixture::write(streamOf(view));
        view->close();
        QVERIFY(staysSilent(f->mainWindow));

        // Opened from a project saved while playing, it plays at once.
        std::unique_ptr<QWidget> opened(make(knob, play));
        QVERIFY(ViewFixture::read(streamOf(opened), payload));
        QVERIFY(f->mainWindow.transmitter.waitForMessages(f->mainWindow.transmitter.count() + messages));
        play->click();
        QCOMPARE(play->text(), clock ? QString() : QStringLiteral("Transmit"));
        QVERIFY(clock || !knob->isLedOn());
        QVERIFY(staysSilent(f->mainWindow));
    }

    void committedTransportValuesAreSent_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("position 128") << 128 << "F2 00 01";
        QTest::newRow("song 128") << 128 << "F3 7F";
    }
    void committedTransportValuesAreSent()
    {
        QFETCH(int, value);
        QFETCH(QString, message);
        MidiTransportPanelView view(nullptr, &f->model);
        SpinBox* spinBox = message.startsWith("F3") ? view.songNumberSpinBox() : view.songPositionSpinBox();
        // Start away from the value, so that committing it is a change.
        spinBox->setWidgetValue(value == 1 ? 2 : 1);
        spinBox->setValue(value);
        spinBox->inputCompletion();
        QCOMPARE(f->takeSent(), QStringList{message});
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
        QCOMPARE(view.valueKnob()->arcStartColor(), sent.isNull() ? QColor(Qt::gray) : StartGradientColorOfKnobMeter);
        view.valueKnob()->setValue(100);
        if (sent.isNull()) {
            // "Transmit" still sends, unchanged; the knob's turn before it sent nothing.
            view.transmitButton()->click();
            sent = hex(message.toLatin1().constData());
        }
        QVERIFY(f->mainWindow.transmitter.waitForMessages(1));
        QCOMPARE(f->mainWindow.transmitter.sentBytes(), QList<QByteArray>{sent});
    }

    void contextMenuOffersTheByteUnderTheCursor()
    {
        MidiCustomMidiMessageView view(nullptr, &f->model);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.messageEdit()->setText(YamahaMessage);
        view.messageEdit()->setCursorPosition(6);
        QMenu* menu = openContextMenu(view.messageEdit());
        QVERIFY(menu != nullptr);
        QAction* entry = menu->actions().last();
        QCOMPARE(entry->text(), QStringLiteral("Set byte position of '10' to Knob Target Byte"));
        entry->trigger();
        menu->close();
        QCOMPARE(view.targetSpinBox()->value(), 3);
        // A single digit, or a single character, after the cursor: nothing more to read, no crash.
        QCOMPARE(MidiCustomMidiMessageView::calculateTargetPositionFrom(3, QStringLiteral("F0 4 5")), 3);
        QCOMPARE(MidiCustomMidiMessageView::calculateTargetPositionFrom(3, QStringLiteral("F0 4")), 4);
    }

    void portListShowsTheOpenPortsChoosingOpensOneAndNoAssignAFailureOrAVanishedDeviceClosesIt()
    {
        f->mainWindow.failingPorts.append(QStringLiteral("Synth"));
        MidiSettingsView view(nullptr, &f->model);
        QCOMPARE(view.portComboBox(PortDirection::Input, 1)->count(), 4);
        QCOMPARE(view.portComboBox(PortDirection::Input, 1)->itemText(3), QStringLiteral("Pad"));
        QCOMPARE(view.portComboBox(PortDirection::Output, 1)->currentIndex(), 2);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexSecondParameterId), 2);
        f->mainWindow.portCalls.clear();
        choose(view.portComboBox(PortDirection::Input, 1), 3);
        QCOMPARE(f->mainWindow.openPorts.value(QStringLiteral("in1")), QStringLiteral("Pad"));
        QCOMPARE(f->model.getModelIntValue(InputPortIndexSecondParameterId), 3);
        choose(view.portComboBox(PortDirection::Output, 1), 0);
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("out1")));
        QCOMPARE(f->mainWindow.portCalls, (QStringList{"select in1 2", "select out1 4294967295"}));
        choose(view.portComboBox(PortDirection::Output, 0), 1);
        QCOMPARE(view.portComboBox(PortDirection::Output, 0)->currentIndex(), 0);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 0);
        // "Pad", open on the second input, goes away.
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Drums"), QStringLiteral("Organ")};
        f->mainWindow.portCalls.clear();
        QTest::mouseClick(view.findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(view.portComboBox(PortDirection::Input, 1)->currentIndex(), 0);
        QCOMPARE(view.portComboBox(PortDirection::Input, 0)->itemText(3), QStringLiteral("Organ"));
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("in1")));
        // Rebuilt in the order first input, second input, first output, second output.
        QCOMPARE(f->mainWindow.portCalls, (QStringList{"close in0", "close in1", "close out0", "close out1"}));
    }

    void pcKeyboardSettingsChangeTheNotesAtOnce()
    {
        KeyboardNoteEventManager notes(&f->model, &f->mainWindow.transmitter);
        MidiPCKeyboardView view(nullptr, &f->model);
        QVERIFY(!notes.trunsmitNoteOnByKeyDown('Z'));
        QTest::mouseClick(view.enableCheckBox(), Qt::LeftButton, {}, QPoint(5, 10));
        view.octaveSpinBox()->stepBy(1);
        view.channelSpinBox()->stepBy(1);
        view.velocitySpinBox()->stepBy(10);
        QVERIFY(notes.trunsmitNoteOnByKeyDown('Z') && notes.trunsmitNoteOffByKeyUp('Z'));
        QCOMPARE(f->takeSent(), (QStringList{"91 48 4A", "81 48 00"}));
    }

    void everyPreferenceHasOneControlNamedByItsParameter()
    {
        PreferencesView view(nullptr, &f->model);
        QList<unsigned int> ids;
        for (CheckBox* box : view.findChildren<CheckBox*>()) {
            ids << box->getParameterId();
            QCOMPARE(box->text(), f->model.getModelParameterName(box->getParameterId()));
        }
        for (ComboBox* combo : view.findChildren<ComboBox*>()) {
            ids << combo->getParameterId();
        }
        std::sort(ids.begin(), ids.end());
        QCOMPARE(ids, (QList<unsigned int>{1200, 1201, 1202, 1203, 1204, 1205, 1206, 1207, 1208}));
    }

    void filterAllAndClearSetTheirOwnSwitchesOnly()
    {
        MidiFilterView view(nullptr, &f->model);
        f->model.setModelIntValue(MessageTypeFilterParameterId + 1, 1);
        view.releasedAllButton();
        QCOMPARE(parameters(f->model, ChannelFilterParameterId, 16), QVector<int>(16, 1).toList());
        QTest::mouseClick(view.channelButtons()[4], Qt::LeftButton);
        QCOMPARE(f->model.getModelIntValue(ChannelFilterParameterId + 4), 0);
        view.releasedNoneButton();
        QCOMPARE(parameters(f->model, ChannelFilterParameterId, 16), QVector<int>(16, 0).toList());
        QCOMPARE(f->model.getModelIntValue(MessageTypeFilterParameterId + 1), 1);

        // A detail page's All and None set every one of its own switches.
        auto* controllers = qobject_cast<MidiFilterDetailView*>(view.detailPages()->widget(0));
        controllers->releasedAllButton();
        QCOMPARE(parameters(f->model, ControlChangeFilterParameterId, 128), QVector<int>(128, 1).toList());
        controllers->releasedNoneButton();
        QCOMPARE(parameters(f->model, ControlChangeFilterParameterId, 128), QVector<int>(128, 0).toList());
        auto* realtime = qobject_cast<MidiFilterDetailView*>(view.detailPages()->widget(2));
        realtime->releasedAllButton();
        QCOMPARE(parameters(f->model, SystemRealtimeFilterParameterId, 6), QVector<int>(6, 1).toList());
        QCOMPARE(parameters(f->model, SystemCommonFilterParameterId, 4), QVector<int>(4, 0).toList());
    }

private:
    std::unique_ptr<MidiKeyboardView> makeKeyboard()
    {
        return std::unique_ptr<MidiKeyboardView>(static_cast<MidiKeyboardView*>(kinds()[3].make(&f->model)));
    }

    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_ToolViews)
#include "tst_ToolViews.moc"
