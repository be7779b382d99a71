// What every tool view promises alike: it marks the project edited when it opens, when the user
// changes it and when it closes, but not for a plain transmit; it sends to both outputs with the
// bulk waits; its payload reads back to the same payload without sending while a project opens;
// a damaged payload leaves values in range and valid bytes; and views whose function needs the
// parser say so while it is off.

#include "ViewFixture.h"

#include "views/MidiActivesensingView.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiCustomMidiMessageView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiFilterView.h"
#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiPCKeyboardView.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiProgramChangeView.h"
#include "views/MidiSettingsView.h"
#include "views/MidiTimingClockGeneratorView.h"
#include "views/MidiTransportPanelView.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiLedCombinedDial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

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

void press(QPushButton* button)
{
    QTest::mousePress(button, Qt::LeftButton);
    QTest::mouseRelease(button, Qt::LeftButton);
}

const std::vector<Kind>& kinds()
{
    static const std::vector<Kind> all{
        {"control change", [](TulvarMidiModel* model) { return new MidiControlChangeView(nullptr, 7, model); },
         on<MidiControlChangeView>([](auto& v) { v.valueDial()->setValue(10); }), {"B0 07 0A"},
         on<MidiControlChangeView>([](auto& v) { press(v.transmitButton()); }), {"B0 07 0A"},
         {{0, 40}, {1, 300}, {2, 1000}, {3, 0}}, {{0, 16}, {1, 7}, {2, 127}, {3, 0}}, {"BF 07 7F"}},
        {"program change", maker<MidiProgramChangeView>(),
         on<MidiProgramChangeView>([](auto& v) { v.programNumberDisplay()->increase(); }), {},
         on<MidiProgramChangeView>([](auto& v) { press(v.transmitButton()); }), {"C0 01"},
         {{0, 17}, {1, 1}, {2, 999}, {3, 7}, {4, -3}, {5, 1}, {6, 0}, {7, 1}},
         {{0, 16}, {1, 1}, {2, 127}, {3, 1}, {4, 0}, {5, 1}, {6, 0}, {7, 1}}, {"BF 00 7F", "BF 20 00", "CF 00"}},
        {"pitch bend", maker<MidiPitchbendView>(),
         on<MidiPitchbendView>([](auto& v) { v.slider()->setValue(127); }), {"E0 7F 7F"},
         on<MidiPitchbendView>([](auto& v) { press(v.transmitButton()); }), {"E0 7F 7F"},
         {{0, 0}, {1, 0}, {2, 99999}}, {{0, 1}, {1, 0}, {2, 8191}}, {"E0 7F 7F"}},
        {"keyboard",
         [](TulvarMidiModel* model) {
             auto* view = new MidiKeyboardView(nullptr, model);
             view->resize(600, view->sizeHint().height());
             view->show();
             return view;
         },
         on<MidiKeyboardView>([](auto& v) { v.upperView()->velocitySpinBox()->setValue(100); }), {},
         on<MidiKeyboardView>([](auto& v) {
             QTest::mouseClick(v.keyboard(), Qt::LeftButton, Qt::NoModifier, QPoint(35 * 25 + 12, 90)); // middle C
         }),
         {"90 3C 64", "80 3C 00"}, {{0, -50}, {1, 99}, {2, -5}, {3, 9}}, {{0, 0}, {1, 16}, {2, 0}, {3, 0}},
         {"9F 3C 00", "8F 3C 00"}},
        {"timing clock", maker<MidiTimingClockGeneratorView>(),
         on<MidiTimingClockGeneratorView>([](auto& v) { v.tempoKnob()->setValue(240); }), {}, nullptr, {},
         {{0, 9999}, {1, 0}}, {{0, 300}, {1, 0}}, {}},
        {"transport panel", maker<MidiTransportPanelView>(),
         on<MidiTransportPanelView>([](auto& v) { v.songNumberSpinBox()->stepBy(1); }), {"F3 01"},
         on<MidiTransportPanelView>([](auto& v) { press(v.songPositionTransmitButton()); }), {"F2 00 00"},
         {{0, 999}, {1, -7}}, {{0, 128}, {1, 0}}, {"F2 00 00"}},
        {"active sensing", maker<MidiActivesensingView>(),
         on<MidiActivesensingView>([](auto& v) { v.intervalKnob()->setValue(500); }), {}, nullptr, {},
         {{0, 5}, {1, 0}}, {{0, 100}, {1, 0}}, {}},
        {"custom message", maker<MidiCustomMidiMessageView>(),
         on<MidiCustomMidiMessageView>([](auto& v) { v.messageEdit()->setText(QStringLiteral("B0 07 00")); }), {},
         on<MidiCustomMidiMessageView>([](auto& v) { press(v.transmitButton()); }), {"B0 00 00"},
         {{0, QStringLiteral("Volume")}, {1, 500}, {2, QStringLiteral("B0 07 00")}, {3, 999}},
         {{0, QStringLiteral("Volume")}, {1, 127}, {2, QStringLiteral("B0 07 00")}, {3, 191}}, {"B0 07 00"}},
        {"message editor",
         [](TulvarMidiModel* model) { return new MidiEditView(nullptr, model, MidiEditView::SystemExclusiveEdit, QString()); },
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

} // namespace

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

class tst_ToolViewContract : public QObject {
    Q_OBJECT

private slots:
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
        ViewFixture f;
        std::unique_ptr<QWidget> view(k.make(&f.model));
        QVERIFY(f.edited());
        QVERIFY(f.takeSent().isEmpty());
        if (k.change) {
            f.clearEdited();
            k.change(view.get());
            QVERIFY(f.edited());
            QCOMPARE(f.takeSent(), k.changeSends);
        }
        QStringList got; // the editor and the custom message view send from a worker thread
        if (k.transmit) {
            f.clearEdited();
            k.transmit(view.get());
            QTRY_COMPARE_WITH_TIMEOUT(got += f.takeSent(), k.transmitSends, 10000);
            QVERIFY(!f.edited());
        }

        const QByteArray payload = ViewFixture::write(streamOf(view));
        QVERIFY(payload != "<failed>");
        f.mainWindow.openingProject = true;
        std::unique_ptr<QWidget> opened(k.make(&f.model));
        QVERIFY(ViewFixture::read(streamOf(opened), payload));
        QCOMPARE(ViewFixture::write(streamOf(opened)), payload);
        if (!k.damaged.isEmpty()) {
            std::unique_ptr<QWidget> damaged(k.make(&f.model));
            QVERIFY(ViewFixture::read(streamOf(damaged), ViewFixture::payloadOf(k.damaged)));
            QCOMPARE(ViewFixture::write(streamOf(damaged)), ViewFixture::payloadOf(k.clamped));
            f.mainWindow.openingProject = false;
            QVERIFY(f.takeSent().isEmpty());
            if (k.transmit) {
                k.transmit(damaged.get());
                got.clear();
                QTRY_COMPARE_WITH_TIMEOUT(got += f.takeSent(), k.clampedSends, 10000);
            }
        }
        QVERIFY(f.takeSent().isEmpty());

        f.clearEdited();
        view->close();
        QVERIFY(f.edited());
        for (const TransmittedMessage& message : f.mainWindow.transmitter.messages()) {
            QCOMPARE(message.group, OutputPortGroupBoth);
            // The custom message view alone sends at once, its message being one the user times.
            QCOMPARE(message.skipBulkWait, qstrcmp(k.name, "custom message") == 0);
        }
    }

    void parserOffDisablesWhatNeedsItAndSaysWhy_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("on");
        QTest::newRow("filter") << 9 << "Filter" << "";
        QTest::newRow("received tempo") << 4 << "Receive" << "";
        QTest::newRow("bulk interval") << 11 << "Bulk interval" << "";
        QTest::newRow("message receive") << -1 << "Message receive" << "off: 0Bytes";
    }
    void parserOffDisablesWhatNeedsItAndSaysWhy()
    {
        QFETCH(int, kind);
        QFETCH(QString, function);
        QFETCH(QString, on);
        ViewFixture f;
        const auto make = [&] {
            return kind >= 0 ? kinds()[size_t(kind)].make(&f.model)
                             : new MidiEditView(nullptr, &f.model, MidiEditView::SystemExclusiveReceive, QString());
        };
        const QString off = "off: " + function + " function is currently disabled.\nTurn On File > Preferences > Parser.";
        std::unique_ptr<QWidget> view(make());
        QVERIFY(parserState(view.get()) != off);
        f.model.setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(parserState(view.get()), off);
        std::unique_ptr<QWidget> second(make());
        QEXPECT_FAIL("message receive", "a receiving editor opened while the parser is off shows no reason yet", Continue);
        QCOMPARE(parserState(second.get()), off);
        f.model.setModelIntValue(MessageParsedParameterId, 1);
        QCOMPARE(parserState(view.get()), on);
    }
};

QTEST_MAIN(tst_ToolViewContract)
#include "tst_ToolViewContract.moc"
