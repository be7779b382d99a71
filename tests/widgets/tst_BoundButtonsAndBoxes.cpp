#include "model/ModelAssistant.h"
#include "model/TulvarMidiModel.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/PushButton.h"

#include <QtTest>

namespace {

class CountingAssistant : public ModelAssistant {
public:
    void updateParameter(unsigned int id) override { changes.append(id); }
    QList<unsigned int> changes;
};

} // namespace

class tst_BoundButtonsAndBoxes : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;
    CountingAssistant assistant;

    template <typename Control>
    void bindAndShow(Control& control, unsigned int id)
    {
        control.setParameterId(id);
        control.connectModel(&model);
        control.show();
        QVERIFY(QTest::qWaitForWindowExposed(&control));
    }

private slots:
    void init()
    {
        model.setModelIntValue(PCKeyboardEnableParameterId, 0);
        model.setModelIntValue(MidiThruParameterId, 0);
        model.setModelIntValue(MessageMiddleCParameterId, 0);
        model.setModelIntValue(InputPortIndexParameterId, 0);
        model.registerModelAssistant(&assistant);
        assistant.changes.clear();
    }

    void cleanup() { model.unregisterModelAssistant(&assistant); }

    void checkBoxAndButtonWriteAndFollowTheirParameter()
    {
        CheckBox box(QStringLiteral("Enable"));
        bindAndShow(box, PCKeyboardEnableParameterId);
        QVERIFY(!box.isChecked());
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(PCKeyboardEnableParameterId), 1);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(PCKeyboardEnableParameterId), 0);
        model.setModelIntValue(PCKeyboardEnableParameterId, 1);
        QVERIFY(box.isChecked());

        PushButton button(QStringLiteral("Thru"));
        button.setCheckable(true);
        bindAndShow(button, MidiThruParameterId);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(MidiThruParameterId), 1);
        model.setModelIntValue(MidiThruParameterId, 0);
        QVERIFY(!button.isChecked());
    }

    void comboBoxFillsWithTheParameterTextsAndWritesTheIndex()
    {
        ComboBox box;
        bindAndShow(box, MessageMiddleCParameterId);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(2), QStringLiteral("C5"));
        QCOMPARE(box.currentIndex(), 0);

        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(model.getModelIntValue(MessageMiddleCParameterId), 1);

        // Moved from elsewhere: the box follows without writing back.
        assistant.changes.clear();
        model.setModelIntValue(MessageMiddleCParameterId, 2);
        QCOMPARE(box.currentIndex(), 2);
        QCOMPARE(assistant.changes, QList<unsigned int>{MessageMiddleCParameterId});

        // Connecting again does not add the items twice.
        box.connectModel(&model);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.currentIndex(), 2);
    }

    void comboBoxNeverWritesANonIndex()
    {
        ComboBox box;
        box.setParameterId(MessageMiddleCParameterId);
        box.connectModel(&model);
        model.setModelIntValue(MessageMiddleCParameterId, 7);
        QCOMPARE(box.currentIndex(), -1);
        QCOMPARE(model.getModelIntValue(MessageMiddleCParameterId), 7);
        model.setModelIntValue(MessageMiddleCParameterId, 1);
        box.clear();
        QCOMPARE(model.getModelIntValue(MessageMiddleCParameterId), 1);
    }

    void unboundedIndexBoxKeepsTheViewsItems()
    {
        model.setModelIntValue(InputPortIndexParameterId, 2);
        ComboBox box;
        box.addItems({QStringLiteral("No Assign"), QStringLiteral("Loopback A"), QStringLiteral("Loopback B")});
        box.setParameterId(InputPortIndexParameterId);
        box.connectModel(&model);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.currentIndex(), 2);
        box.setCurrentIndex(1);
        QCOMPARE(model.getModelIntValue(InputPortIndexParameterId), 1);
    }
};

QTEST_MAIN(tst_BoundButtonsAndBoxes)
#include "tst_BoundButtonsAndBoxes.moc"
