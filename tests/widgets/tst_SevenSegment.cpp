#include "widgets/SevenSegment.h"

#include "widgets/LineEdit.h"
#include "widgets/PushButton.h"
#include "testkit/ImageStrips.h"
#include "testkit/WidgetEvents.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

QColor digitColour(int digit)
{
    return QColor(digit * 25, 100, 200);
}

// Ten 10 x 20 cells, each in its digit's colour.
QPixmap digitStrip()
{
    QList<QColor> colours;
    for (int digit = 0; digit < 10; ++digit)
        colours.append(digitColour(digit));
    return frameStrip(colours, QSize(10, 20));
}

} // namespace

class SevenSegmentTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QApplication::setWheelScrollLines(3);
        m_window = new QWidget;
        m_window->resize(200, 100);
        m_display = new SevenSegment(m_window);
        m_display->setFixedSize(128, 48);
        m_display->setMinimum(0);
        m_display->setMaximum(127);
        m_display->setResetValue(0);
        m_display->setDigitPixmap(digitStrip());
        m_display->setIncreaseButtonGeometry(QRect(114, 0, 14, 24));
        m_display->setDecreaseButtonGeometry(QRect(114, 24, 14, 24));
        m_display->setIncreaseButtonPixmap(frameStrip({Qt::darkGreen, Qt::green}, QSize(14, 24)));
        m_display->setDecreaseButtonPixmap(frameStrip({Qt::darkRed, Qt::red}, QSize(14, 24)));
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_display = nullptr;
    }

    void drawsThreeDigitsWithLeadingZeros_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QVector<int>>("digits");
        QTest::newRow("7") << 7 << QVector<int>{0, 0, 7};
        QTest::newRow("127") << 127 << QVector<int>{1, 2, 7};
        QTest::newRow("no digit strip draws nothing") << 5 << QVector<int>{};
    }

    void drawsThreeDigitsWithLeadingZeros()
    {
        QFETCH(int, value);
        QFETCH(QVector<int>, digits);
        if (digits.isEmpty())
            m_display->setDigitPixmap(QPixmap());
        m_display->setValue(value);
        QImage const image = m_display->grab().toImage();
        for (int position = 0; position < 3; ++position) {
            QColor const expected = digits.isEmpty() ? m_display->palette().color(QPalette::Window)
                                                     : digitColour(digits[position]);
            QCOMPARE(image.pixelColor(m_display->digitCellX(position) + 5, 10), expected);
        }
    }

    void valueIsClampedEmittedOnlyOnChangeAndResetByCtrlClick()
    {
        QSignalSpy spy(m_display, &SevenSegment::valueChanged);
        m_display->setValue(200);
        QCOMPARE(m_display->value(), 127);
        m_display->setValue(127);
        m_display->addStepToValue(5);
        QCOMPARE(spy.count(), 1);
        m_display->addStepToValue(-300);
        QCOMPARE(m_display->value(), 0);
        QCOMPARE(spy.count(), 2);

        // The arrow keys step, and stop at the ends. Holding an arrow button repeats its step.
        QVERIFY(m_display->increaseButton()->autoRepeat());
        QCOMPARE(m_display->increaseButton()->focusPolicy(), Qt::NoFocus);
        m_display->setFocus();
        QTest::keyClick(m_display, Qt::Key_Down);
        QCOMPARE(spy.count(), 2);
        QTest::keyClick(m_display, Qt::Key_Up);
        QCOMPARE(m_display->value(), 1);

        // Ctrl-click resets; a reset value outside the range is clamped into it.
        m_display->setMinimum(1);
        m_display->setMaximum(128);
        m_display->setValue(50);
        m_display->setResetValue(0);
        QTest::mouseClick(m_display, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 20));
        QCOMPARE(m_display->value(), 1);
    }

    void doubleClickEditsTheValueAndEditingHoldsOtherInput()
    {
        m_display->setValue(12);
        QTest::mouseDClick(m_display, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
        QVERIFY(m_display->isVisibleLineEdit());
        LineEdit* editor = m_display->lineEdit();
        QCOMPARE(editor->geometry(), QRect(0, 0, 114, 48));
        QCOMPARE(editor->selectedText(), QStringLiteral("12"));
        QTRY_VERIFY(editor->hasFocus());

        QSignalSpy spy(m_display, &SevenSegment::valueChanged);
        QTest::keyClicks(editor, "77");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(m_display->value(), 77);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_display->isVisibleLineEdit());

        // A new editor replaces the old one. While editing, keys, wheel and steps change nothing;
        // clicking an arrow takes the focus from the editor: the entry is taken, then the step.
        QPointer<LineEdit> old = editor;
        QTest::mouseDClick(m_display, Qt::LeftButton, Qt::NoModifier, QPoint(60, 20));
        QTRY_VERIFY(old.isNull());
        QTRY_VERIFY(m_display->lineEdit()->hasFocus());
        spy.clear();
        QTest::keyClick(m_display, Qt::Key_Down);
        WidgetEvents::wheel(m_display, QPoint(20, 20), -120);
        m_display->increase();
        m_display->decrease();
        QCOMPARE(m_display->value(), 77);
        QCOMPARE(spy.count(), 0);
        QTest::keyClicks(m_display->lineEdit(), "30");
        QTest::mouseClick(m_display->increaseButton(), Qt::LeftButton, Qt::NoModifier, QPoint(7, 12));
        QVERIFY(!m_display->isVisibleLineEdit());
        QCOMPARE(m_display->value(), 31);
        QCOMPARE(spy.count(), 2);
    }

    void wheelRemainderRestartsOnReversal()
    {
        m_display->setValue(50);
        QVERIFY(WidgetEvents::wheel(m_display, QPoint(20, 20), 120)); // 3 lines per notch
        QCOMPARE(m_display->value(), 53);
        WidgetEvents::wheel(m_display, QPoint(20, 20), 20); // half a step waits
        QCOMPARE(m_display->value(), 53);
        WidgetEvents::wheel(m_display, QPoint(20, 20), 20); // the second half completes it
        QCOMPARE(m_display->value(), 54);

        WidgetEvents::wheel(m_display, QPoint(20, 20), 20); // +0.5 pending
        // Reversing: the pending +0.5 is dropped, so a whole step down happens at once.
        WidgetEvents::wheel(m_display, QPoint(20, 20), -40);
        QCOMPARE(m_display->value(), 53);
        WidgetEvents::wheel(m_display, QPoint(20, 20), -20);
        QCOMPARE(m_display->value(), 53);
        WidgetEvents::wheel(m_display, QPoint(20, 20), -20);
        QCOMPARE(m_display->value(), 52);
    }

private:
    QWidget* m_window = nullptr;
    SevenSegment* m_display = nullptr;
};

QTEST_MAIN(SevenSegmentTest)
#include "tst_SevenSegment.moc"
