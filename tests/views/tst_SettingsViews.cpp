// The views whose controls are parameters: MIDI settings (over a stand-in main window whose ports
// are a list of names), preferences, filter and PC keyboard.

#include "ViewFixture.h"

#include "engine/KeyboardNoteEventManager.h"
#include "views/MidiFilterDetailView.h"
#include "views/MidiFilterView.h"
#include "views/MidiPCKeyboardView.h"
#include "views/MidiSettingsView.h"
#include "views/PreferencesView.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/PushButton.h"
#include "widgets/SpinBox.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QtTest>

#include <memory>

namespace {

using PortDirection = MidiSettingsView::PortDirection;

QStringList itemsOf(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i) {
        items.append(combo->itemText(i));
    }
    return items;
}

// The user picks an entry: activated is what the view listens to.
void choose(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

// The values of `count` parameters from `first` on.
QList<int> parameters(TulvarMidiModel& model, unsigned int first, int count)
{
    QList<int> values;
    for (int i = 0; i < count; ++i) {
        values.append(model.getModelIntValue(first + unsigned(i)));
    }
    return values;
}

template <class Control>
Control* controlOf(QWidget* view, unsigned int id)
{
    for (Control* control : view->findChildren<Control*>()) {
        if (control->getParameterId() == id) {
            return control;
        }
    }
    return nullptr;
}

} // namespace

class tst_SettingsViews : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ViewFixture>();
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Drums"), QStringLiteral("Pad")};
        f->mainWindow.openPorts.insert(QStringLiteral("out1"), QStringLiteral("Drums"));
    }
    void cleanup() { f.reset(); }

    void choosingAPortOpensItAndNoAssignClosesIt()
    {
        MidiSettingsView view(nullptr, &f->model);
        f->mainWindow.portCalls.clear();
        choose(view.portComboBox(PortDirection::Input, 1), 3);
        QCOMPARE(f->mainWindow.openPorts.value(QStringLiteral("in1")), QStringLiteral("Pad"));
        QCOMPARE(f->model.getModelIntValue(InputPortIndexSecondParameterId), 3);
        choose(view.portComboBox(PortDirection::Output, 1), 0);
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("out1")));
        QCOMPARE(f->mainWindow.portCalls, (QStringList{"select in1 2", "select out1 4294967295"}));
    }

    void failedOpenPutsTheComboBackOnNoAssign()
    {
        f->mainWindow.failingPorts.append(QStringLiteral("Synth"));
        MidiSettingsView view(nullptr, &f->model);
        choose(view.portComboBox(PortDirection::Output, 0), 1);
        QCOMPARE(view.portComboBox(PortDirection::Output, 0)->currentIndex(), 0);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 0);
    }

    void portListShowsTheOpenPortsAndClosesThoseOfVanishedDevices()
    {
        MidiSettingsView view(nullptr, &f->model);
        QCOMPARE(itemsOf(view.portComboBox(PortDirection::Input, 1)), (QStringList{"No Assign", "Synth", "Drums", "Pad"}));
        QCOMPARE(view.portComboBox(PortDirection::Output, 1)->currentIndex(), 2);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexSecondParameterId), 2);
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Pad"), QStringLiteral("Organ")};
        f->mainWindow.portCalls.clear();
        QTest::mouseClick(view.findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(view.portComboBox(PortDirection::Output, 1)->currentIndex(), 0);
        QCOMPARE(itemsOf(view.portComboBox(PortDirection::Input, 0)).last(), QStringLiteral("Organ"));
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("out1")));
        // Rebuilt in the order first input, second input, first output, second output.
        QCOMPARE(f->mainWindow.portCalls, (QStringList{"close in0", "close in1", "close out0", "close out1"}));
    }

    void everyPreferenceHasOneControlNamedByItsParameter()
    {
        PreferencesView view(nullptr, &f->model);
        for (unsigned int id = KnobModeParameterId; id <= ProgramNumberBaseParameterId; ++id) {
            CheckBox* box = controlOf<CheckBox>(&view, id);
            QVERIFY2((box == nullptr) != (controlOf<ComboBox>(&view, id) == nullptr), qPrintable(QString::number(id)));
            QVERIFY(box == nullptr || box->text() == f->model.getModelParameterName(id));
        }
    }

    void preferenceControlsWriteAndFollowTheirParameter()
    {
        PreferencesView view(nullptr, &f->model);
        controlOf<ComboBox>(&view, MessageMiddleCParameterId)->setCurrentIndex(2);
        QCOMPARE(f->model.getModelIntValue(MessageMiddleCParameterId), 2);
        QTest::mouseClick(controlOf<CheckBox>(&view, TimeStampParameterId), Qt::LeftButton, {}, QPoint(5, 10));
        QCOMPARE(f->model.getModelIntValue(TimeStampParameterId), 1);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        QCOMPARE(controlOf<ComboBox>(&view, ProgramNumberBaseParameterId)->currentIndex(), 0);
    }

    void filterChannelAllAndClearLeaveMessageKindsAlone()
    {
        MidiFilterView view(nullptr, &f->model);
        f->model.setModelIntValue(MessageTypeFilterParameterId + 1, 1);
        view.releasedAllButton();
        QCOMPARE(parameters(f->model, ChannelFilterParameterId, 16), QVector<int>(16, 1).toList());
        QVERIFY(view.channelButtons()[15]->isChecked());
        QTest::mouseClick(view.channelButtons()[4], Qt::LeftButton);
        QCOMPARE(f->model.getModelIntValue(ChannelFilterParameterId + 4), 0);
        view.releasedNoneButton();
        QCOMPARE(parameters(f->model, ChannelFilterParameterId, 16), QVector<int>(16, 0).toList());
        QCOMPARE(f->model.getModelIntValue(MessageTypeFilterParameterId + 1), 1);
    }

    void filterDetailAllAndNoneSetEveryOneOfItsSwitches()
    {
        MidiFilterView view(nullptr, &f->model);
        auto* controllers = qobject_cast<MidiFilterDetailView*>(view.detailPages()->widget(0));
        QCOMPARE(controllers->checkBoxes().size(), 128);
        controllers->releasedAllButton();
        QCOMPARE(parameters(f->model, ControlChangeFilterParameterId, 128), QVector<int>(128, 1).toList());
        QVERIFY(controllers->checkBoxes()[127]->isChecked());
        controllers->releasedNoneButton();
        QCOMPARE(parameters(f->model, ControlChangeFilterParameterId, 128), QVector<int>(128, 0).toList());
        auto* realtime = qobject_cast<MidiFilterDetailView*>(view.detailPages()->widget(2));
        realtime->releasedAllButton();
        QCOMPARE(parameters(f->model, SystemRealtimeFilterParameterId, 6), QVector<int>(6, 1).toList());
        QCOMPARE(parameters(f->model, SystemCommonFilterParameterId, 4), QVector<int>(4, 0).toList());
    }

    void pcKeyboardSettingsChangeTheNotesAtOnce()
    {
        KeyboardNoteEventManager notes(&f->model, &f->mainWindow.transmitter);
        MidiPCKeyboardView view(nullptr, &f->model);
        QVERIFY(!notes.trunsmitNoteOnByKeyDown('Z'));
        QTest::mouseClick(view.enableCheckBox(), Qt::LeftButton, {}, QPoint(5, 10));
        view.octaveSpinBox()->stepBy(1);
        view.channelSpinBox()->stepBy(1);
        view.velocitySpinBox()->stepBy(1);
        QVERIFY(notes.trunsmitNoteOnByKeyDown('Z'));
        QVERIFY(notes.trunsmitNoteOffByKeyUp('Z'));
        QCOMPARE(f->takeSent(), (QStringList{"91 48 41", "81 48 00"}));
    }

private:
    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_SettingsViews)
#include "tst_SettingsViews.moc"
