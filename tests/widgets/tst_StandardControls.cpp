#include "model/ModelAssistant.h"
#include "model/TulvarMidiModel.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiTimingClockPlayStopButton.h"
#include "widgets/MidiTransportPanelPlayStopButton.h"
#include "widgets/PushButton.h"
#include "widgets/SpinBox.h"
#include "widgets/ToolButton.h"
#include "widgets/TulvarMidiStyle.h"
#include "testkit/ImageStrips.h"
#include "testkit/RecordingObservers.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QIntValidator>
#include <QMenu>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QVBoxLayout>
#include <QtTest>

#include <memory>

namespace {

// A model that can refuse writes, as a model may for a value it cannot take.
class RefusingModel : public TulvarMidiModel {
public:
    MODEL_RESULT setModelIntValue(unsigned int id, int value) override
    {
        return refuse ? MODEL_RESULT_ERROR : TulvarMidiModel::setModelIntValue(id, value);
    }
    bool refuse = false;
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

QColor colourAt(QWidget& widget, QPoint point)
{
    return widget.grab().toImage().pixelColor(point);
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

// What every control bound to a parameter does, what only the combo box and the spin box add,
// the numeric line edit that the in-place editors are, the image buttons and the style.
class tst_StandardControls : public QObject {
    Q_OBJECT

private:
    RefusingModel model;
    QStringList changes;
    RecordingAssistant assistant{QStringLiteral("a"), &changes};

    void bindVelocity(SpinBox& spin)
    {
        spin.setParameterId(PCKeyboardVelocityParameterId);
        spin.connectModel(&model);
        spin.show();
        QVERIFY(QTest::qWaitForWindowActive(&spin));
    }

    int velocity() { return model.getModelIntValue(PCKeyboardVelocityParameterId); }

private slots:
    void init()
    {
        model.refuse = false;
        for (unsigned int id : {PCKeyboardEnableParameterId, MidiThruParameterId, MessageMiddleCParameterId,
                                InputPortIndexParameterId, PCKeyboardVelocityParameterId})
            model.setModelIntValue(id, model.getModelDefaultValue(id));
        model.registerModelAssistant(&assistant);
        changes.clear();
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

        changes.clear();
        model.setModelIntValue(id, fromElsewhere);
        QCOMPARE(shown(widget.get()), fromElsewhere);
        QCOMPARE(changes, QStringList{QStringLiteral("a:%1").arg(id)});
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

    // Showing, following and stepping are a bound control's; at the end of the range a step writes nothing.
    void spinBoxWritesOnlyRealChangesAndFinishedEdits()
    {
        model.setModelIntValue(PCKeyboardVelocityParameterId, 127);
        SpinBox spin;
        bindVelocity(spin);
        QCOMPARE(spin.maximum(), 127);
        QSignalSpy changed(&spin, &SpinBox::widgetValueChanged);
        QTest::keyClick(&spin, Qt::Key_Up);
        QCOMPARE(changed.count(), 0);
        QTest::keyClick(&spin, Qt::Key_Down);
        QCOMPARE(velocity(), 126);
        QCOMPARE(changed.count(), 1);

        // A typed value is written when editing finishes, and finishing again writes nothing.
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("100"));
        QCOMPARE(velocity(), 126);
        QTest::keyClick(&spin, Qt::Key_Return);
        QCOMPARE(velocity(), 100);
        QTest::keyClick(&spin, Qt::Key_Return);
        QCOMPARE(changed.count(), 2);

        // A dismissed context menu takes the focus, which finishes editing: that alone must not write.
        spin.setFocus();
        QTRY_VERIFY(spin.hasFocus());
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("99"));
        QSignalSpy finished(&spin, &QSpinBox::editingFinished);
        bool menuSeen = false;
        QTimer::singleShot(0, [&menuSeen] {
            if (QWidget* popup = QApplication::activePopupWidget()) {
                menuSeen = true;
                popup->close();
            }
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), spin.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&spin, &event);
        QVERIFY(menuSeen);
        QVERIFY(finished.count() >= 1);
        QCOMPARE(velocity(), 100);
        QCOMPARE(changed.count(), 2);
    }

    void controlClickRestoresTheDefault_data()
    {
        QTest::addColumn<bool>("bound");
        QTest::addColumn<bool>("onLineEdit");
        QTest::addColumn<bool>("refused");
        QTest::newRow("on the frame") << true << false << false;
        QTest::newRow("on the text") << true << true << false;
        QTest::newRow("refused by the model") << true << true << true;
        QTest::newRow("unbound: its fallback default") << false << false << false;
    }

    void controlClickRestoresTheDefault()
    {
        QFETCH(bool, bound);
        QFETCH(bool, onLineEdit);
        QFETCH(bool, refused);
        model.setModelIntValue(PCKeyboardVelocityParameterId, 100);
        SpinBox spin;
        spin.setDefaultValue(bound ? 1 : 64);
        if (bound) {
            bindVelocity(spin);
        } else {
            spin.setRange(0, 127);
            spin.setWidgetValue(100);
            spin.show();
            QVERIFY(QTest::qWaitForWindowExposed(&spin));
        }
        QSignalSpy changed(&spin, &SpinBox::widgetValueChanged);
        QWidget* target = onLineEdit ? static_cast<QWidget*>(spin.findChild<QLineEdit*>()) : &spin;
        QPoint const point = onLineEdit ? target->rect().center() : QPoint(1, 1);
        QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
        QCOMPARE(spin.value(), 100);
        model.refuse = refused;
        QTest::mouseClick(target, Qt::LeftButton, Qt::ControlModifier, point);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 64);
        // A refused default is announced, but the display keeps the model's value.
        QCOMPARE(velocity(), bound && !refused ? 64 : 100);
        QCOMPARE(spin.value(), refused ? 100 : 64);
        QCOMPARE(spin.committedValue(), refused ? 100 : 64);
        if (refused)
            return;

        // Already at the default: nothing happens.
        QTest::mouseClick(target, Qt::LeftButton, Qt::ControlModifier, point);
        QCOMPARE(changed.count(), 1);
    }

    // Return, Enter and leaving the field decide the text once.
    void finishingDecidesTheText_data()
    {
        QTest::addColumn<bool>("withValidator");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decided");
        QTest::addColumn<int>("emitted");
        QTest::newRow("not a number") << true << "abc" << "64" << 1;
        QTest::newRow("above the top") << true << "999" << "127" << 1;
        QTest::newRow("below the bottom") << true << "-5" << "0" << 1;
        QTest::newRow("inside") << true << "42" << "42" << 1;
        QTest::newRow("no validator keeps any text") << false << "abc" << "abc" << 1;
        QTest::newRow("no validator, empty") << false << "" << "" << 0;
    }

    void finishingDecidesTheText()
    {
        QFETCH(bool, withValidator);
        QFETCH(QString, text);
        QFETCH(QString, decided);
        QFETCH(int, emitted);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        auto* edit = new LineEdit(QStringLiteral("64"));
        if (withValidator) {
            edit->setValidator(new QIntValidator(0, 127, edit));
        }
        auto* other = new QLineEdit;
        layout->addWidget(edit);
        layout->addWidget(other);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        QSignalSpy finished(edit, &QLineEdit::editingFinished);
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab}) {
            finished.clear();
            edit->setText(text); // the validator would refuse most of these as typed
            QTest::keyClick(edit, key);
            QCOMPARE(edit->text(), decided);
            QCOMPARE(finished.count(), emitted);
        }
        QTRY_VERIFY(other->hasFocus());
    }

    // Pressed, checked or (a tool button) disabled shows the right half of the strip.
    void imageButtonsShowTheHalfOfTheirState()
    {
        PushButton button;
        button.setFixedSize(40, 30);
        button.setPixmap(frameStrip({Qt::red, Qt::blue}, 20));
        button.setImagePosition(5, 5);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));
        button.setCheckable(true);
        QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
        // A paint callback replaces all painting.
        button.setPaintCallback([](PushButton& self, QPainter& painter) { painter.fillRect(self.rect(), Qt::green); });
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::green));

        ToolButton tool;
        tool.setFixedSize(32, 32);
        tool.setPixmap(frameStrip({Qt::red, Qt::blue}, 32));
        QCOMPARE(colourAt(tool, QPoint(16, 16)), QColor(Qt::red));
        tool.setEnabled(false);
        QCOMPARE(colourAt(tool, QPoint(16, 16)), QColor(Qt::blue));

        PushButton centred;
        centred.setFixedSize(60, 34);
        centred.setPixmap(frameStrip({Qt::red, Qt::blue}, 20));
        centred.setCenterOnShow(true);
        centred.show();
        QVERIFY(QTest::qWaitForWindowExposed(&centred));
        QCOMPARE(centred.imagePosition(), QPoint(20, 6));
    }

    // The timing clock's button shows a frame for each of checked and down; the transport
    // panel's paints the standard button face, then its image.
    void playStopButtonsPaintTheirState()
    {
        QList<QColor> const frames{Qt::red, Qt::green, Qt::blue, Qt::yellow};
        MidiTimingClockPlayStopButton button;
        button.setCheckable(true);
        button.setPixmap(frameStrip(frames, 15));
        button.setFrameSize(15, 15);
        button.resize(40, 30);
        QCOMPARE(button.framePosition(), QPoint(12, 6));
        QPoint const inside = button.framePosition() + QPoint(7, 7);
        QCOMPARE(colourAt(button, inside), frames[0]);
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(colourAt(button, inside), frames[1]);
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        QCOMPARE(colourAt(button, inside), frames[2]);
        button.setDown(true);
        QCOMPARE(colourAt(button, inside), frames[3]);

        QWidget window;
        MidiTransportPanelPlayStopButton transport(&window);
        PushButton plain(&window);
        for (PushButton* b : {static_cast<PushButton*>(&transport), &plain}) {
            b->setPixmap(frameStrip({Qt::red, Qt::blue}, 10));
            b->setImagePosition(15, 15);
            b->resize(60, 34);
        }
        window.show();
        QImage const shot = transport.grab().toImage();
        QCOMPARE(shot.pixelColor(20, 20), QColor(Qt::red));
        // Beside the image the standard face shows, where a bare PushButton shows nothing.
        QImage const bare = plain.grab().toImage();
        QVERIFY(shot.pixelColor(1, 17) != bare.pixelColor(1, 17));
    }

    void styleWidensScrollBarsAndDropsFocusRectangles()
    {
        TulvarMidiStyle style;
        QCOMPARE(style.pixelMetric(QStyle::PM_ScrollBarExtent), 18);

        QImage image(40, 40, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QImage const untouched = image;
        QPainter painter(&image);
        QStyleOptionFocusRect option;
        option.rect = QRect(2, 2, 36, 36);
        option.state = QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange;
        style.drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter);
        painter.end();
        QCOMPARE(image, untouched);
    }
};

QTEST_MAIN(tst_StandardControls)
#include "tst_StandardControls.moc"
