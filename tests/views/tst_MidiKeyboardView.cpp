#include "ToolViewFixture.h"

#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiKeyboardViewScrollArea.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SpinBox.h"

#include <QComboBox>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

// Middle C (note 60) and the E above it, low on their white keys.
const QPoint MiddleC(35 * 25 + 12, 90);
const QPoint MiddleE(37 * 25 + 12, 90);

void press(QWidget* keyboard, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(keyboard, Qt::LeftButton, modifiers, pos);
}

void dragTo(QWidget* keyboard, QPoint pos)
{
    QMouseEvent event(QEvent::MouseMove, pos, keyboard->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(keyboard, &event);
}

} // namespace

class tst_MidiKeyboardView : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ToolViewFixture>();
        view = std::make_unique<MidiKeyboardView>(nullptr, &f->model);
        view->resize(600, view->sizeHint().height());
        view->show();
        keyboard = view->keyboard();
    }
    void cleanup()
    {
        QVERIFY(f->everythingWentToBothOutputsWithWaits());
        view.reset();
        f.reset();
    }

    void keysPlayOnTheChannelAtTheVelocityShown()
    {
        view->upperView()->channelSpinBox()->setValue(3);
        view->upperView()->velocitySpinBox()->setValue(100);
        press(keyboard, MiddleC);
        QTest::mouseRelease(keyboard, Qt::LeftButton, Qt::NoModifier, MiddleC);
        QCOMPARE(f->takeSent(), (QStringList{"92 3C 64", "82 3C 00"}));
    }

    void pressureModesSendKeyOrChannelPressure_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sent");
        // Halfway up the key is pressure 63; the press itself sends only the note.
        QTest::newRow("Off plays on") << 0 << QStringList{"90 3C 40"};
        QTest::newRow("Channel") << 1 << QStringList{"90 3C 40", "D0 3F"};
        QTest::newRow("Key") << 2 << QStringList{"90 3C 40", "A0 3C 3F"};
    }
    void pressureModesSendKeyOrChannelPressure()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, sent);
        view->upperView()->pressureComboBox()->setCurrentIndex(mode);
        QCOMPARE(keyboard->pressureMode(), mode);
        press(keyboard, MiddleC);
        dragTo(keyboard, QPoint(MiddleC.x(), 50));
        QCOMPARE(f->takeSent(), sent);
    }

    void changingTheChannelReleasesHeldKeysOnTheOldChannelFirst()
    {
        press(keyboard, MiddleC);
        view->upperView()->channelSpinBox()->setValue(2);
        QTest::mouseRelease(keyboard, Qt::LeftButton, Qt::NoModifier, MiddleC);
        press(keyboard, MiddleC);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 40", "80 3C 00", "91 3C 40"}));
        QCOMPARE(int(view->channel()), 1);
    }

    void closingReleasesEverySoundingKey()
    {
        press(keyboard, MiddleC, Qt::ControlModifier);
        QTest::mouseRelease(keyboard, Qt::LeftButton, Qt::ControlModifier, MiddleC);
        press(keyboard, MiddleE, Qt::ControlModifier);
        QTest::mouseRelease(keyboard, Qt::LeftButton, Qt::ControlModifier, MiddleE);
        f->takeSent();
        f->clearEdited();
        view->close();
        QCOMPARE(f->takeSent(), (QStringList{"80 3C 00", "80 40 00"}));
        QVERIFY(f->edited());
    }

    void userChangesAndScrollingMarkTheProjectEdited()
    {
        QVERIFY(f->edited()); // creation
        const auto changes = std::vector<std::function<void()>>{
            [&] { view->upperView()->channelSpinBox()->setValue(4); },
            [&] { view->upperView()->velocitySpinBox()->setValue(10); },
            [&] { view->upperView()->pressureComboBox()->setCurrentIndex(1); },
            [&] { view->scrollArea()->horizontalScrollBar()->setValue(10); },
        };
        for (const auto& change : changes) {
            f->clearEdited();
            change();
            QVERIFY(f->edited());
        }
    }

    void opensCentredAndAVerticalSwipeScrollsSideways()
    {
        QScrollBar* bar = view->scrollArea()->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int centre = int((bar->maximum() - bar->minimum()) * 0.5);
        QCOMPARE(bar->value(), centre);

        QWidget* viewport = view->scrollArea()->viewport();
        QWheelEvent swipe(QPointF(5, 5), QPointF(viewport->mapToGlobal(QPoint(5, 5))), QPoint(3, 40), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(viewport, &swipe);
        QCOMPARE(bar->value(), centre + 40);

        // Shown again (a minimised window restored), it keeps where the user left it.
        view->hide();
        view->show();
        QCOMPARE(bar->value(), centre + 40);
    }

    void keyLabelsFollowTheMiddleCSetting()
    {
        f->model.setModelIntValue(MessageMiddleCParameterId, 2);
        QCOMPARE(keyboard->middleCOffset(), 2);
    }

    void damagedPayloadValuesStayInRange()
    {
        QVERIFY(ToolViewFixture::read(*view, ToolViewFixture::payloadOf({{0, -50}, {1, 99}, {2, -5}, {3, 9}})));
        QCOMPARE(view->scrollArea()->horizontalScrollBar()->value(), 0);
        QCOMPARE(view->upperView()->channelSpinBox()->value(), 16);
        QCOMPARE(view->upperView()->velocitySpinBox()->value(), 0);
        QCOMPARE(view->upperView()->pressureComboBox()->currentIndex(), 0);
        press(keyboard, MiddleC);
        QCOMPARE(f->takeSent(), QStringList{"9F 3C 00"});
    }

private:
    std::unique_ptr<ToolViewFixture> f;
    std::unique_ptr<MidiKeyboardView> view;
    PressureKeyboard* keyboard = nullptr;
};

QTEST_MAIN(tst_MidiKeyboardView)
#include "tst_MidiKeyboardView.moc"
