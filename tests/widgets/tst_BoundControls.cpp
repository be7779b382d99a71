#include "model/ModelAssistant.h"
#include "model/TulvarMidiModel.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/Dial.h"
#include "widgets/PushButton.h"
#include "widgets/SpinBox.h"

#include <QtTest>

#include <memory>

namespace {

class CountingAssistant : public ModelAssistant {
public:
    void updateParameter(unsigned int id) override { changes.append(id); }
    QList<unsigned int> changes;
};

// A control of the named kind, and the value it shows as a number.
QWidget* make(const QString& kind)
{
    if (kind == "check box")
        return new CheckBox(QStringLiteral("Enable"));
    if (kind == "checkable button") {
        auto* button = new PushButton(QStringLiteral("Thru"));
        button->setCheckable(true);
        return button;
    }
    if (kind == "combo box")
        return new ComboBox;
    return kind == "spin box" ? static_cast<QWidget*>(new SpinBox) : new Dial;
}

int shown(QWidget* widget)
{
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->isChecked();
    if (auto* box = qobject_cast<QComboBox*>(widget))
        return box->currentIndex();
    if (auto* spin = qobject_cast<QSpinBox*>(widget))
        return spin->value();
    return static_cast<QDial*>(widget)->value();
}

} // namespace

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
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("atConnect");
        QTest::addColumn<int>("fromElsewhere");
        QTest::addColumn<int>("key"); // the user's step: 0 a click, -1 none (the dial's views write)
        QTest::addColumn<int>("afterUserStep");
        QTest::newRow("check box") << unsigned(PCKeyboardEnableParameterId) << 1 << 0 << 0 << 1;
        QTest::newRow("checkable button") << unsigned(MidiThruParameterId) << 1 << 0 << 0 << 1;
        QTest::newRow("combo box") << unsigned(MessageMiddleCParameterId) << 2 << 1 << int(Qt::Key_Down) << 2;
        QTest::newRow("spin box") << unsigned(PCKeyboardVelocityParameterId) << 12 << 64 << int(Qt::Key_Up) << 65;
        QTest::newRow("dial") << unsigned(PCKeyboardVelocityParameterId) << 12 << 64 << -1 << 64;
    }

    void controlsShowFollowAndWriteTheirParameter()
    {
        QFETCH(unsigned int, id);
        QFETCH(int, fromElsewhere);
        QFETCH(int, key);
        std::unique_ptr<QWidget> widget(make(QTest::currentDataTag()));
        auto* connection = dynamic_cast<ModelConnection*>(widget.get());
        QFETCH(int, atConnect);
        model.setModelIntValue(id, atConnect);
        connection->setParameterId(id);
        QCOMPARE(connection->connectModel(&model), MODEL_RESULT_OK);
        widget->show();
        QVERIFY(QTest::qWaitForWindowActive(widget.get()));
        QCOMPARE(shown(widget.get()), atConnect);

        assistant.changes.clear();
        model.setModelIntValue(id, fromElsewhere);
        QCOMPARE(shown(widget.get()), fromElsewhere);
        QCOMPARE(assistant.changes, QList<unsigned int>{id});
        if (key == 0)
            QTest::mouseClick(widget.get(), Qt::LeftButton);
        else if (key > 0)
            QTest::keyClick(widget.get(), Qt::Key(key));
        QTEST(model.getModelIntValue(id), "afterUserStep");
        QTEST(shown(widget.get()), "afterUserStep");
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

        // A parameter without texts keeps the view's own items.
        model.setModelIntValue(InputPortIndexParameterId, 2);
        ComboBox ports;
        ports.addItems({QStringLiteral("No Assign"), QStringLiteral("Loopback A"), QStringLiteral("Loopback B")});
        ports.setParameterId(InputPortIndexParameterId);
        ports.connectModel(&model);
        QCOMPARE(ports.count(), 3);
        QCOMPARE(ports.currentIndex(), 2);
        ports.setCurrentIndex(1);
        QCOMPARE(model.getModelIntValue(InputPortIndexParameterId), 1);
    }

};

QTEST_MAIN(tst_BoundControls)
#include "tst_BoundControls.moc"
