#include "widgets/Dial.h"
#include "widgets/LineEdit.h"
#include "widgets/MidiLedCombinedDial.h"

#include "testkit/WidgetEvents.h"

#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QSize EditorSize(50, 20);
const QMargins ArcInsets(-3, -3, -3, -3);
const QColor ArcStart(84, 0, 0);
const QColor ArcEnd(255, 245, 245);

void configure(Dial& dial, QSize const& size, int minimum, int maximum, int value)
{
    dial.resize(size);
    dial.setLineEditSize(EditorSize);
    dial.setArcMargins(ArcInsets);
    dial.setArcColors(ArcStart, ArcEnd);
    dial.setRange(minimum, maximum);
    dial.setValue(value);
}

} // namespace

class DialTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_window = new QWidget;
        m_window->resize(200, 200);
        m_dial = new Dial(m_window);
        configure(*m_dial, QSize(100, 100), 0, 127, 64);
        m_window->show();
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window));
    }

    void cleanup()
    {
        delete m_window;
        m_window = nullptr;
        m_dial = nullptr;
    }

    // What every size must give: the face and the arc round the centre, inside the widget, the
    // number's editor centred, and the dead zone on the number inside both. The exact rectangles at
    // 100 x 100 are pinned where the editor opens.
    void geometryStaysCentredInsideTheWidget_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("odd, face narrower than the editor") << QSize(81, 61);
        QTest::newRow("tall") << QSize(60, 100);
    }

    void geometryStaysCentredInsideTheWidget()
    {
        QFETCH(QSize, size);
        m_dial->resize(size);
        QPoint const centre = m_dial->getCenterPos();
        QVERIFY(qAbs(centre.x() * 2 - size.width()) <= 1 && qAbs(centre.y() * 2 - size.height()) <= 1);
        QCOMPARE(m_dial->getKnobRadius(), (qMin(size.width(), size.height()) + 1) / 2);
        QRect const face = m_dial->getDialRect();
        QVERIFY(m_dial->rect().contains(m_dial->getArcRect()) && m_dial->getArcRect().contains(face));
        auto near = [centre](QPoint point) { return qAbs(point.x() - centre.x()) <= 2 && qAbs(point.y() - centre.y()) <= 2; };
        QVERIFY(near(face.center()));
        QRect const editor = m_dial->getLineEditRect();
        QCOMPARE(editor.size(), EditorSize);
        QVERIFY(near(editor.center()));
        QRect const deadZone = m_dial->clickInvalidRect();
        QVERIFY(!deadZone.isEmpty() && (editor & face).contains(deadZone));
    }

    void linearDragMagnifiesWideRanges_data()
    {
        QTest::addColumn<int>("maximum");
        QTest::addColumn<double>("magnification");
        QTest::addColumn<int>("afterUp");
        QTest::addColumn<int>("afterDown");
        QTest::newRow("range 300") << 300 << 1.0 << 110 << 90;
        QTest::newRow("range 301") << 301 << 3.0 << 130 << 70;
    }

    void linearDragMagnifiesWideRanges()
    {
        QFETCH(int, maximum);
        m_dial->setKnobMode(Dial::LinearKnobMode);
        m_dial->setRange(0, maximum);
        m_dial->setValue(100);
        QTEST(m_dial->getLinearMagnification(), "magnification");

        // In linear mode a press on the number starts a drag too.
        QTest::mousePress(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QCOMPARE(m_dial->value(), 100);
        WidgetEvents::mouseMove(m_dial, QPoint(60, 40));
        QTEST(m_dial->value(), "afterUp");
        WidgetEvents::mouseMove(m_dial, QPoint(70, 60));
        QTEST(m_dial->value(), "afterDown");
        WidgetEvents::mouseMove(m_dial, QPoint(50, -500));
        QCOMPARE(m_dial->value(), maximum);
        QTest::mouseRelease(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(50, -500));
        // After the release moves do nothing.
        WidgetEvents::mouseMove(m_dial, QPoint(50, 90), Qt::NoButton);
        QCOMPARE(m_dial->value(), maximum);
    }

    void circularClicksFollowTheAngleOutsideTheNumber()
    {
        QSignalSpy spy(m_dial, &QDial::valueChanged);
        // On the number, or outside the circle, a click or drag moves nothing.
        QTest::mouseClick(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(30, 45));
        for (int mode : {int(Dial::CircularKnobMode), int(Dial::LinearKnobMode)}) {
            m_dial->setKnobMode(mode);
            QTest::mousePress(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
            WidgetEvents::mouseMove(m_dial, QPoint(3, -100));
            QTest::mouseRelease(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(3, -100));
        }
        QCOMPARE(m_dial->value(), 64);
        QCOMPARE(spy.count(), 0);

        // Outside the number press and drag reach QDial, which follows the angle: right is high.
        m_dial->setKnobMode(Dial::CircularKnobMode);
        QTest::mousePress(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(90, 50));
        QVERIFY2(m_dial->value() > 90, qPrintable(QString::number(m_dial->value())));
        WidgetEvents::mouseMove(m_dial, QPoint(10, 50));
        QVERIFY(m_dial->value() < 40);
        QTest::mouseRelease(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(10, 50));

        // Ctrl-click resets, even outside the circle.
        m_dial->setResetValue(10);
        spy.clear();
        QTest::mouseClick(m_dial, Qt::LeftButton, Qt::ControlModifier, QPoint(2, 2));
        QCOMPARE(m_dial->value(), 10);
        QCOMPARE(spy.count(), 1);
    }

    void doubleClickOnTheNumberOpensTheEditor()
    {
        m_dial->setRange(5, 300);
        // Outside the editor rectangle a double-click opens nothing.
        QTest::mouseDClick(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(50, 15));
        QVERIFY(!m_dial->lineEdit());
        QTest::mouseDClick(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(52, 48));
        QPointer<LineEdit> editor = m_dial->lineEdit();
        QVERIFY(editor);
        QCOMPARE(editor->geometry(), QRect(25, 40, 50, 20));
        QCOMPARE(editor->selectedText(), QString::number(m_dial->value()));
        QTRY_VERIFY(editor->hasFocus());

        QSignalSpy spy(m_dial, &QDial::valueChanged);
        // Above the top the entry settles on the top; the editor takes the range set after construction.
        QTest::keyClicks(editor, "3999");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(m_dial->value(), 300);
        QCOMPARE(spy.count(), 1);
        QVERIFY(!m_dial->isVisibleLineEdit());

        // A second double-click builds a fresh editor. While it is open, wheel and keys do nothing.
        QTest::mouseDClick(m_dial, Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
        QTRY_VERIFY(editor.isNull());
        QCOMPARE(m_dial->lineEdit()->text(), QStringLiteral("300"));
        m_dial->setValue(100);
        QVERIFY(WidgetEvents::wheel(m_dial, QPoint(50, 50), 120));
        QTest::keyClick(m_dial, Qt::Key_Up);
        QTest::keyClick(m_dial, Qt::Key_PageUp);
        QCOMPARE(m_dial->value(), 100);

        // Destroying the dial with its editor open and typed into is safe.
        QTRY_VERIFY(m_dial->lineEdit()->hasFocus());
        QTest::keyClicks(m_dial->lineEdit(), "12");
        delete m_dial;
        m_dial = nullptr;
        QVERIFY(m_window->isVisible());
    }

    void paintsTheArcAndTheNumber()
    {
        m_dial->setValueSuffix(QStringLiteral(" BPM"));
        QImage const image = m_dial->grab().toImage();
        QVERIFY(image.pixelColor(50, 6) != m_window->palette().color(QPalette::Window));
        bool dark = false;
        for (int x = 25; x < 75 && !dark; ++x) {
            for (int y = 42; y < 58 && !dark; ++y)
                dark = qGray(image.pixel(x, y)) < 60;
        }
        QVERIFY(dark);
    }

    void ledFlashIsNotExtendedByRepeatedCalls()
    {
        MidiLedCombinedDial dial;
        configure(dial, QSize(100, 100), 5, 300, 90);
        dial.setLedOnColor(Qt::yellow);
        dial.setLedOffColor(QColor(27, 27, 0));
        QPoint const wedge(50, 95); // in the gap below the arc
        QCOMPARE(dial.grab().toImage().pixelColor(wedge), QColor(27, 27, 0));
        auto* timer = dial.findChild<QTimer*>();
        QVERIFY(timer);
        dial.ledOn();
        QCOMPARE(dial.grab().toImage().pixelColor(wedge), QColor(Qt::yellow));
        QVERIFY(timer->isActive());
        int const firstTimer = timer->timerId();
        dial.ledOn();
        dial.setLedOn(true);
        QCOMPARE(timer->timerId(), firstTimer);
        QTRY_VERIFY_WITH_TIMEOUT(!dial.isLedOn(), 10000);

        dial.setLedOn(true);
        dial.setLedOn(false);
        QVERIFY(!dial.isLedOn());
        // Switching off ends the flash, so its timer cannot darken a later steady light.
        QVERIFY(!timer->isActive());
        // Without auto-off the LED stays lit until switched off.
        dial.setAutoOff(false);
        dial.setLedOn(true);
        QVERIFY(dial.isLedOn() && !timer->isActive());
    }

private:
    QWidget* m_window = nullptr;
    Dial* m_dial = nullptr;
};

QTEST_MAIN(DialTest)
#include "tst_Dial.moc"
