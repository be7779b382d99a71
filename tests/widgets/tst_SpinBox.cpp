#include "model/Model.h"
#include "model/TulvarMidiModel.h"
#include "widgets/SpinBox.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

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

} // namespace

class tst_SpinBox : public QObject {
    Q_OBJECT

private:
    RefusingModel model;

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
        model.setModelIntValue(PCKeyboardVelocityParameterId, 64);
    }

    // Showing, following and stepping are a bound control's; at the end of the range a step writes nothing.
    void stepAtTheEndOfTheRangeWritesNothing()
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

    void dismissedContextMenuWritesNothing()
    {
        SpinBox spin;
        bindVelocity(spin);
        spin.setFocus();
        QTRY_VERIFY(spin.hasFocus());
        spin.selectAll();
        QTest::keyClicks(&spin, QStringLiteral("99"));
        QSignalSpy finished(&spin, &QSpinBox::editingFinished);
        QSignalSpy changed(&spin, &SpinBox::widgetValueChanged);

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
        QCOMPARE(velocity(), 64);
        QCOMPARE(changed.count(), 0);
        // The menu took the focus, which finished editing: that alone must not write.
        QVERIFY(finished.count() >= 1);
    }
};

QTEST_MAIN(tst_SpinBox)
#include "tst_SpinBox.moc"
