// The MIDI settings view over a stand-in main window whose ports are a list of names.

#include "MidiEditFixture.h"

#include "views/MidiSettingsView.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/SpinBox.h"

#include <QLabel>
#include <QPushButton>
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

} // namespace

class tst_MidiSettingsView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<MidiEditFixture>();
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Drums"), QStringLiteral("Pad")};
        f->mainWindow.openPorts.insert(QStringLiteral("out1"), QStringLiteral("Drums"));
    }
    void cleanup()
    {
        view.reset();
        f.reset();
    }

    void combosListNoAssignFirstAndShowTheOpenPorts()
    {
        makeView();
        const QStringList expected{QStringLiteral("No Assign"), QStringLiteral("Synth"), QStringLiteral("Drums"),
                                   QStringLiteral("Pad")};
        for (PortDirection direction : {PortDirection::Input, PortDirection::Output}) {
            for (unsigned int group : {0u, 1u}) {
                QCOMPARE(itemsOf(view->portComboBox(direction, group)), expected);
            }
        }
        QCOMPARE(view->portComboBox(PortDirection::Output, 1)->currentIndex(), 2);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexSecondParameterId), 2);
        QCOMPARE(view->portComboBox(PortDirection::Input, 0)->currentIndex(), 0);
        QCOMPARE(view->portComboBox(PortDirection::Input, 0)->getParameterId(), unsigned(InputPortIndexParameterId));
    }

    void comboIndexIsPortIndexPlusOne()
    {
        QCOMPARE(MidiSettingsView::convertComboBoxIndexToPortIndex(3), 2u);
        QCOMPARE(MidiSettingsView::convertComboBoxIndexToPortIndex(1), 0u);
        QCOMPARE(MidiSettingsView::convertComboBoxIndexToPortIndex(0), 0xFFFFFFFFu);
    }

    void choosingAnEntryOpensThatPortAndTheFirstClosesIt()
    {
        makeView();
        f->mainWindow.portCalls.clear();
        choose(view->portComboBox(PortDirection::Input, 1), 3);
        QCOMPARE(f->mainWindow.openPorts.value(QStringLiteral("in1")), QStringLiteral("Pad"));
        QCOMPARE(f->model.getModelIntValue(InputPortIndexSecondParameterId), 3);
        choose(view->portComboBox(PortDirection::Output, 1), 0);
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("out1")));
        QCOMPARE(f->mainWindow.portCalls, (QStringList{QStringLiteral("select in1 2"),
                                                       QStringLiteral("select out1 4294967295")}));
    }

    void failedOpenPutsTheComboBackOnNoAssign()
    {
        f->mainWindow.failingPorts.append(QStringLiteral("Synth"));
        makeView();
        ComboBox* combo = view->portComboBox(PortDirection::Output, 0);
        choose(combo, 1);
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(f->model.getModelIntValue(OutputPortIndexParameterId), 0);
    }

    void updatePortListClosesThePortOfAVanishedDevice()
    {
        makeView();
        f->mainWindow.portNames = QStringList{QStringLiteral("Synth"), QStringLiteral("Pad"), QStringLiteral("Organ")};
        f->mainWindow.portCalls.clear();
        QTest::mouseClick(view->findChild<QPushButton*>(), Qt::LeftButton);
        QCOMPARE(view->portComboBox(PortDirection::Output, 1)->currentIndex(), 0);
        QCOMPARE(itemsOf(view->portComboBox(PortDirection::Input, 0)).last(), QStringLiteral("Organ"));
        QVERIFY(!f->mainWindow.openPorts.contains(QStringLiteral("out1")));
        // Rebuilt in the order first input, second input, first output, second output.
        QCOMPARE(f->mainWindow.portCalls, (QStringList{QStringLiteral("close in0"), QStringLiteral("close in1"),
                                                       QStringLiteral("close out0"), QStringLiteral("close out1")}));
    }

    void thruSwitchesAndBulkIntervalAreBound()
    {
        makeView();
        QList<unsigned int> thruIds;
        for (CheckBox* box : view->findChildren<CheckBox*>()) {
            thruIds.append(box->getParameterId());
        }
        QCOMPARE(thruIds, (QList<unsigned int>{MidiThruParameterId, MidiThruSecondParameterId}));
        QCOMPARE(view->bulkIntervalSpinBox()->getParameterId(), unsigned(BulkIntervalParameterId));
        QCOMPARE(view->bulkIntervalSpinBox()->maximum(), 1000);
        QCOMPARE(view->bulkIntervalLabel()->text(), QStringLiteral("Bulk Interval (ms)"));
    }

    void parserOffDisablesTheBulkIntervalWithATooltip()
    {
        f->model.setModelIntValue(MessageParsedParameterId, 0);
        makeView();
        const QString tip = QStringLiteral("Bulk interval function is currently disabled.\nTurn On File > Preferences > Parser.");
        for (QWidget* widget : {static_cast<QWidget*>(view->bulkIntervalLabel()),
                                static_cast<QWidget*>(view->bulkIntervalSpinBox())}) {
            QVERIFY(!widget->isEnabled());
            QCOMPARE(widget->toolTip(), tip);
        }
        f->model.setModelIntValue(MessageParsedParameterId, 1);
        QVERIFY(view->bulkIntervalSpinBox()->isEnabled());
        QVERIFY(view->bulkIntervalLabel()->toolTip().isEmpty());
    }

private:
    void makeView() { view = std::make_unique<MidiSettingsView>(nullptr, &f->model); }

    std::unique_ptr<MidiEditFixture> f;
    std::unique_ptr<MidiSettingsView> view;
};

QTEST_MAIN(tst_MidiSettingsView)
#include "tst_MidiSettingsView.moc"
