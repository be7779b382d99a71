#include "model/TulvarMidiModel.h"
#include "model/ModelAssistant.h"
#include "widgets/CheckBox.h"
#include "widgets/ComboBox.h"
#include "widgets/PushButton.h"

#include <QPainter>
#include <QtTest>

namespace {

class CountingAssistant : public ModelAssistant {
public:
    void updateParameter(unsigned int id) override { changes.append(id); }
    QList<unsigned int> changes;
};

// A strip whose left half is red and right half blue, at double resolution.
QPixmap twoColourStrip(int logicalHalfWidth, int logicalHeight)
{
    QPixmap strip(logicalHalfWidth * 4, logicalHeight * 2);
    strip.fill(Qt::blue);
    QPainter painter(&strip);
    painter.fillRect(0, 0, logicalHalfWidth * 2, logicalHeight * 2, Qt::red);
    painter.end();
    strip.setDevicePixelRatio(2.0);
    return strip;
}

QColor colourAt(QWidget& widget, QPoint point)
{
    return widget.grab().toImage().pixelColor(point);
}

} // namespace

class tst_BoundButtonsAndBoxes : public QObject {
    Q_OBJECT

private:
    TulvarMidiModel model;
    CountingAssistant assistant;

    template <typename Control>
    void bind(Control& control, unsigned int id)
    {
        control.setParameterId(id);
        control.connectModel(&model);
    }

private slots:
    void init()
    {
        model.setModelIntValue(PCKeyboardEnableParameterId, 0);
        model.setModelIntValue(MessageMiddleCParameterId, 0);
        model.setModelIntValue(InputPortIndexParameterId, 0);
        model.registerModelAssistant(&assistant);
        assistant.changes.clear();
    }

    void cleanup() { model.unregisterModelAssistant(&assistant); }

    void checkBoxClickWritesAndParameterMovesTheBox()
    {
        CheckBox box(QStringLiteral("Enable"));
        bind(box, PCKeyboardEnableParameterId);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.isChecked());
        QVERIFY(!box.testAttribute(Qt::WA_MacShowFocusRect));

        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(PCKeyboardEnableParameterId), 1);
        QTest::mouseClick(&box, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(PCKeyboardEnableParameterId), 0);

        assistant.changes.clear();
        model.setModelIntValue(PCKeyboardEnableParameterId, 1);
        QVERIFY(box.isChecked());
        QCOMPARE(assistant.changes, QList<unsigned int>{PCKeyboardEnableParameterId});
    }

    void checkablePushButtonTogglesItsParameter()
    {
        PushButton button(QStringLiteral("Thru"));
        button.setCheckable(true);
        bind(button, MidiThruParameterId);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));

        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(model.getModelIntValue(MidiThruParameterId), 1);
        model.setModelIntValue(MidiThruParameterId, 0);
        QVERIFY(!button.isChecked());
    }

    void unboundPushButtonWritesNothing()
    {
        PushButton button(QStringLiteral("Transmit"));
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QSignalSpy clicked(&button, &QPushButton::clicked);
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicked.count(), 1);
        QVERIFY(assistant.changes.isEmpty());
    }

    void imageStripShowsTheHalfOfItsState()
    {
        PushButton button;
        button.setFixedSize(40, 30);
        button.setPixmap(twoColourStrip(20, 20));
        button.setImagePosition(5, 5);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));
        // Drawn at its logical size: 20 x 20 from the image position.
        QVERIFY(colourAt(button, QPoint(27, 15)) != QColor(Qt::red));

        // Not checkable: the pressed state shows the right half.
        QTest::mousePress(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
        QTest::mouseRelease(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::red));

        button.setCheckable(true);
        QTest::mouseClick(&button, Qt::LeftButton, Qt::NoModifier, QPoint(15, 15));
        QVERIFY(button.isChecked());
        QCOMPARE(colourAt(button, QPoint(15, 15)), QColor(Qt::blue));
    }

    void paintCallbackReplacesAllPainting()
    {
        PushButton button;
        button.setFixedSize(30, 30);
        button.setPixmap(twoColourStrip(10, 10));
        int calls = 0;
        button.setPaintCallback([&calls](PushButton& self, QPainter& painter) {
            ++calls;
            painter.fillRect(self.rect(), Qt::green);
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(colourAt(button, QPoint(3, 3)), QColor(Qt::green));
        QVERIFY(calls > 0);
    }

    void imageIsCentredOnShow()
    {
        PushButton button;
        button.setFixedSize(60, 34);
        button.setPixmap(twoColourStrip(20, 20)); // 80 x 40 image pixels
        button.setCenterOnShow(true);
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QCOMPARE(button.imagePosition(), QPoint(20, 6));
    }

    void comboBoxFillsWithTheParameterTexts()
    {
        ComboBox box;
        bind(box, MessageMiddleCParameterId);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.itemText(0), QStringLiteral("C3"));
        QCOMPARE(box.itemText(1), QStringLiteral("C4"));
        QCOMPARE(box.itemText(2), QStringLiteral("C5"));
        QCOMPARE(box.currentIndex(), 0);
        QVERIFY(assistant.changes.count(MessageMiddleCParameterId) <= 1);

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

    void comboBoxSelectionWritesTheIndex()
    {
        ComboBox box;
        bind(box, MessageMiddleCParameterId);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Down);
        QCOMPARE(box.currentIndex(), 1);
        QCOMPARE(model.getModelIntValue(MessageMiddleCParameterId), 1);
    }

    void comboBoxNeverWritesANonIndex()
    {
        ComboBox box;
        bind(box, MessageMiddleCParameterId);
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
        bind(box, InputPortIndexParameterId);
        QCOMPARE(box.count(), 3);
        QCOMPARE(box.currentIndex(), 2);
        box.setCurrentIndex(1);
        QCOMPARE(model.getModelIntValue(InputPortIndexParameterId), 1);
    }
};

QTEST_MAIN(tst_BoundButtonsAndBoxes)
#include "tst_BoundButtonsAndBoxes.moc"
