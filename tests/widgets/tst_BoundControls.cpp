#include "model/ModelAssistant.h"
#include "model/TulvarMidiModel.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/Dial.h"
#include "widgets/PushButton.h"
#include "widgets/SpinBox.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

class CountingAssistant : public ModelAssistant {
public:
    void updateParameter(unsigned int id) override { changes.append(id); }
    QList<unsigned int> changes;
};

enum class Kind { CheckBox, PushButton, ComboBox, SpinBox, Dial };

// A control of one kind, what it shows as a number, and the user's one step on it (none for the
// dial, whose views write the model themselves).
struct Bound {
    std::unique_ptr<QWidget> widget;
    std::function<int()> shown;
    std::function<void()> userStep;
};

Bound make(Kind kind)
{
    Bound bound;
    switch (kind) {
    case Kind::CheckBox: {
        auto* box = new CheckBox(QStringLiteral("Enable"));
        bound = {std::unique_ptr<QWidget>(box), [box] { return int(box->isChecked()); },
                 [box] { QTest::mouseClick(box, Qt::LeftButton); }};
        break;
    }
    case Kind::PushButton: {
        auto* button = new PushButton(QStringLiteral("Thru"));
        button->setCheckable(true);
        bound = {std::unique_ptr<QWidget>(button), [button] { return int(button->isChecked()); },
                 [button] { QTest::mouseClick(button, Qt::LeftButton); }};
        break;
    }
    case Kind::ComboBox: {
        auto* box = new ComboBox;
        bound = {std::unique_ptr<QWidget>(box), [box] { return box->currentIndex(); },
                 [box] { QTest::keyClick(box, Qt::Key_Down); }};
        break;
    }
    case Kind::SpinBox: {
        auto* spin = new SpinBox;
        bound = {std::unique_ptr<QWidget>(spin), [spin] { return spin->value(); },
                 [spin] { QTest::keyClick(spin, Qt::Key_Up); }};
        break;
    }
    case Kind::Dial: {
        auto* dial = new Dial;
        bound = {std::unique_ptr<QWidget>(dial), [dial] { return dial->value(); }, nullptr};
        break;
    }
    }
    return bound;
}

ModelConnection* connection(QWidget* widget)
{
    return dynamic_cast<ModelConnection*>(widget);
}

} // namespace

Q_DECLARE_METATYPE(Kind)

// What every control bound to a parameter does, and what only the combo box adds.
class tst_BoundControls : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;
    CountingAssistant assistant;

private slots:
    void init()
    {
        for (unsigned int id : {PCKeyboardEnableParameterId, MidiThruParameterId, MessageMiddleCParameterId,
                                InputPortIndexParameterId, PCKeyboardVelocityParameterId})
            model.setModelIntValue(id, model.getModelDefaultValue(id));
        model.registerModelAssistant(&assistant);
        assistant.changes.clear();
    }

    void cleanup() { model.unregisterModelAssistant(&assistant); }

    // Bound, a control shows the model's value at once, follows a change made elsewhere without
    // writing it back, and writes the user's step.
    void controlsShowFollowAndWriteTheirParameter_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("atConnect");
        QTest::addColumn<int>("fromElsewhere");
        QTest::addColumn<int>("afterUserStep");
        QTest::newRow("check box") << Kind::CheckBox << unsigned(PCKeyboardEnableParameterId) << 1 << 0 << 1;
        QTest::newRow("checkable button") << Kind::PushButton << unsigned(MidiThruParameterId) << 1 << 0 << 1;
        QTest::newRow("combo box") << Kind::ComboBox << unsigned(MessageMiddleCParameterId) << 2 << 1 << 2;
        QTest::newRow("spin box") << Kind::SpinBox << unsigned(PCKeyboardVelocityParameterId) << 12 << 64 << 65;
        QTest::newRow("dial") << Kind::Dial << unsigned(PCKeyboardVelocityParameterId) << 12 << 64 << -1;
    }

    void controlsShowFollowAndWriteTheirParameter()
    {
        QFETCH(Kind, kind);
        QFETCH(unsigned int, id);
        QFETCH(int, atConnect);
        QFETCH(int, fromElsewhere);
        QFETCH(int, afterUserStep);
        Bound bound = make(kind);
        model.setModelIntValue(id, atConnect);
        connection(bound.widget.get())->setParameterId(id);
        QCOMPARE(connection(bound.widget.get())->connectModel(&model), MODEL_RESULT_OK);
        bound.widget->show();
        QVERIFY(QTest::qWaitForWindowActive(bound.widget.get()));
        QCOMPARE(bound.shown(), atConnect);

        assistant.changes.clear();
        model.setModelIntValue(id, fromElsewhere);
        QCOMPARE(bound.shown(), fromElsewhere);
        QCOMPARE(assistant.changes, QList<unsigned int>{id});
        if (bound.userStep) {
            bound.userStep();
            QCOMPARE(model.getModelIntValue(id), afterUserStep);
            QCOMPARE(bound.shown(), afterUserStep);
        }
        QCOMPARE(connection(bound.widget.get())->disconnectModel(), MODEL_RESULT_OK);
    }

    // The items are the parameter's texts, added once however often the box connects; a value
    // that is no index shows nothing and is never overwritten, not even by clearing the box.
    void comboBoxItemsAreTheParameterTextsAndOnlyIndexesAreWritten()
    {
        ComboBox box;
        box.setParameterId(MessageMiddleCParameterId);
        box.connectModel(&model);
        box.connectModel(&model);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(2), QStringLiteral("C5"));
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

QTEST_MAIN(tst_BoundControls)
#include "tst_BoundControls.moc"
