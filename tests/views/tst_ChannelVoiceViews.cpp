// What the control change, program change, pitch bend and keyboard views do of their own; what
// every tool view does alike is tst_ToolViewContract's.

#include "ViewFixture.h"

#include "persistence/ProjectFileHelper.h"

#include "views/MidiControlChangeView.h"
#include "views/MidiKeyboardUpperView.h"
#include "views/MidiKeyboardView.h"
#include "views/MidiKeyboardViewScrollArea.h"
#include "views/MidiPitchbendView.h"
#include "views/MidiProgramChangeView.h"
#include "widgets/Dial.h"
#include "widgets/MidiPitchbendSlider.h"
#include "widgets/PressureKeyboard.h"
#include "widgets/SevenSegment.h"
#include "widgets/SpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace {

// Middle C (note 60) and the E above it, low on their white keys.
const QPoint MiddleC(35 * 25 + 12, 90);
const QPoint MiddleE(37 * 25 + 12, 90);

void click(QWidget* keyboard, QPoint pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mousePress(keyboard, Qt::LeftButton, modifiers, pos);
    QTest::mouseRelease(keyboard, Qt::LeftButton, modifiers, pos);
}

} // namespace

class tst_ChannelVoiceViews : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ViewFixture>(); }
    void cleanup() { f.reset(); }

    void choosingAnotherControllerMovesOnlyTheResetValue()
    {
        MidiControlChangeView view(nullptr, 1, &f->model);
        view.valueDial()->setValue(30);
        f->takeSent();
        f->clearEdited();
        view.controllerComboBox()->setCurrentIndex(7);
        QCOMPARE(view.controllerComboBox()->currentText(), QStringLiteral("007 Volume"));
        QCOMPARE(view.valueDial()->value(), 30);
        QCOMPARE(view.valueDial()->resetValue(), 100);
        QVERIFY(f->takeSent().isEmpty());
        QVERIFY(f->edited());
        // Stored as an int, which project files and the settings file can hold.
        QVERIFY(ProjectFileHelper::isStorableParameter(view.getRestorationParameters().value(0)));
    }

    void programTransmitSendsBankSelectThenProgram_data()
    {
        QTest::addColumn<int>("base");
        QTest::addColumn<int>("msb"); // -1: not checked
        QTest::addColumn<int>("lsb");
        QTest::addColumn<int>("displayed");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("zero-based 0") << 0 << -1 << -1 << 0 << QStringList{"C2 00"};
        QTest::newRow("bank and program") << 1 << 1 << 2 << 5 << QStringList{"B2 00 01", "B2 20 02", "C2 04"};
        QTest::newRow("LSB only") << 0 << -1 << 9 << 127 << QStringList{"B2 20 09", "C2 7F"};
    }
    void programTransmitSendsBankSelectThenProgram()
    {
        QFETCH(int, base);
        QFETCH(int, msb);
        QFETCH(int, lsb);
        QFETCH(int, displayed);
        QFETCH(QStringList, sent);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, base);
        MidiProgramChangeView view(nullptr, &f->model);
        view.channelSpinBox()->setWidgetValue(3);
        view.msbCheckBox()->setChecked(msb >= 0);
        view.msbSpinBox()->setWidgetValue(qMax(msb, 0));
        view.lsbCheckBox()->setChecked(lsb >= 0);
        view.lsbSpinBox()->setWidgetValue(qMax(lsb, 0));
        view.programNumberDisplay()->setValue(displayed);
        view.transmitButtonPressed();
        QCOMPARE(f->takeSent(), sent);
    }

    void autoTransmitSendsOnEveryChange()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        const auto changes = std::vector<std::function<void()>>{
            [&] { view.channelSpinBox()->stepBy(1); },
            [&] { view.msbSpinBox()->stepBy(1); },
            [&] { view.lsbSpinBox()->stepBy(1); },
            [&] { view.programNumberDisplay()->increase(); },
        };
        view.autoTransmitCheckBox()->setChecked(true);
        for (const auto& change : changes) {
            change();
            QCOMPARE(f->takeSent().size(), 1);
        }
    }

    void switchingTheBaseKeepsTheSameProgram()
    {
        MidiProgramChangeView view(nullptr, &f->model);
        SevenSegment* display = view.programNumberDisplay();
        display->setValue(5);
        view.autoTransmitCheckBox()->setChecked(true);
        f->takeSent();
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
        QCOMPARE(display->value(), 4);
        QCOMPARE(display->maximum(), 127);
        QCOMPARE(display->resetValue(), 0);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, 1);
        QCOMPARE(display->value(), 5);
        QVERIFY(f->takeSent().isEmpty());
    }

    void savedProgramNumberIsConvertedToTheCurrentBase_data()
    {
        QTest::addColumn<int>("currentBase");
        QTest::addColumn<int>("savedBase"); // -1: no record
        QTest::addColumn<int>("saved");
        QTest::addColumn<int>("shown");
        QTest::newRow("saved zero-based, now one-based") << 1 << 0 << 4 << 5;
        QTest::newRow("saved one-based, now zero-based") << 0 << 1 << 5 << 4;
        QTest::newRow("no base record, now zero-based") << 0 << -1 << 5 << 4;
        QTest::newRow("damaged number") << 1 << 1 << 5000 << 128;
    }
    void savedProgramNumberIsConvertedToTheCurrentBase()
    {
        QFETCH(int, currentBase);
        QFETCH(int, savedBase);
        QFETCH(int, saved);
        QFETCH(int, shown);
        f->model.setModelIntValue(ProgramNumberBaseParameterId, currentBase);
        MidiProgramChangeView view(nullptr, &f->model);
        Records records{{0, 1}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, saved}, {6, 0}};
        if (savedBase >= 0) {
            records.append({7, savedBase});
        }
        QVERIFY(ViewFixture::read(view, ViewFixture::payloadOf(records)));
        QCOMPARE(view.programNumberDisplay()->value(), shown);
    }

    void pitchBendDisplayAndSliderMoveEachOtherAndSendOnce_data()
    {
        QTest::addColumn<int>("display");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<bool>("fromSlider"); // the slider step gives the same display and message
        QTest::newRow("centre") << 0 << 64 << "E0 00 40" << true;
        QTest::newRow("bottom") << -8192 << 0 << "E0 00 00" << true;
        QTest::newRow("first step up") << 130 << 65 << "E0 02 41" << true;
        QTest::newRow("last step down") << -128 << 63 << "E0 00 3F" << true;
        QTest::newRow("just above the first step") << 129 << 64 << "E0 01 41" << false;
        QTest::newRow("just below centre") << -1 << 63 << "E0 7F 3F" << false;
    }
    void pitchBendDisplayAndSliderMoveEachOtherAndSendOnce()
    {
        QFETCH(int, display);
        QFETCH(int, step);
        QFETCH(QString, sent);
        QFETCH(bool, fromSlider);
        QStringList got;
        MidiPitchbendView view(nullptr, &f->model);
        view.wheelModeCheckBox()->setChecked(false);
        for (int value : {display + 1, display}) {
            view.displaySpinBox()->setValue(value);
            view.displaySpinBox()->inputCompletion();
            got = f->takeSent();
        }
        QCOMPARE(got, QStringList{sent});
        QCOMPARE(view.slider()->value(), step);
        if (fromSlider) {
            view.slider()->setValue(step == 64 ? 0 : 64);
            f->takeSent();
            view.slider()->setValue(step);
            QCOMPARE(f->takeSent(), QStringList{sent});
            QCOMPARE(view.displaySpinBox()->value(), display);
        }
    }

    void pitchBendWheelModeRecentresAndLocksTheDisplay()
    {
        MidiPitchbendView view(nullptr, &f->model);
        QVERIFY(!view.displaySpinBox()->isEnabled());
        view.wheelModeCheckBox()->setChecked(false);
        QVERIFY(view.displaySpinBox()->isEnabled());
        view.slider()->setValue(100);
        f->takeSent();
        view.wheelModeCheckBox()->setChecked(true);
        QCOMPARE(view.slider()->value(), 64);
        QCOMPARE(f->takeSent(), QStringList{"E0 00 40"});
    }

    void keyboardPressureModesSendKeyOrChannelPressure_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sent");
        // Halfway up the key is pressure 63; the press itself sends only the note.
        QTest::newRow("Channel") << 1 << QStringList{"90 3C 40", "D0 3F"};
        QTest::newRow("Key") << 2 << QStringList{"90 3C 40", "A0 3C 3F"};
    }
    void keyboardPressureModesSendKeyOrChannelPressure()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, sent);
        auto view = makeKeyboard();
        view->upperView()->pressureComboBox()->setCurrentIndex(mode);
        QTest::mousePress(view->keyboard(), Qt::LeftButton, Qt::NoModifier, MiddleC);
        QMouseEvent drag(QEvent::MouseMove, QPoint(MiddleC.x(), 50), view->keyboard()->mapToGlobal(QPoint(MiddleC.x(), 50)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->keyboard(), &drag);
        QCOMPARE(f->takeSent(), sent);
    }

    void keyboardReleasesSoundingKeysOnChannelChangeAndClose()
    {
        auto view = makeKeyboard();
        QTest::mousePress(view->keyboard(), Qt::LeftButton, Qt::NoModifier, MiddleC);
        view->upperView()->channelSpinBox()->setValue(2);
        click(view->keyboard(), MiddleC, Qt::ControlModifier);
        click(view->keyboard(), MiddleE, Qt::ControlModifier);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 40", "80 3C 00", "91 3C 40", "91 40 40"}));
        view->close();
        QCOMPARE(f->takeSent(), (QStringList{"81 3C 00", "81 40 00"}));
    }

    void keyboardOpensCentredAndAVerticalSwipeScrollsSideways()
    {
        auto view = makeKeyboard();
        QScrollBar* bar = view->scrollArea()->horizontalScrollBar();
        QVERIFY(bar->maximum() > 0);
        const int centre = int((bar->maximum() - bar->minimum()) * 0.5);
        QCOMPARE(bar->value(), centre);

        f->clearEdited();
        QWidget* viewport = view->scrollArea()->viewport();
        QWheelEvent swipe(QPointF(5, 5), QPointF(viewport->mapToGlobal(QPoint(5, 5))), QPoint(3, 40), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::ScrollUpdate, false);
        QApplication::sendEvent(viewport, &swipe);
        QCOMPARE(bar->value(), centre + 40);
        QVERIFY(f->edited());

        // Shown again (a minimised window restored), it keeps where the user left it.
        view->hide();
        view->show();
        QCOMPARE(bar->value(), centre + 40);
    }

private:
    std::unique_ptr<MidiKeyboardView> makeKeyboard()
    {
        auto view = std::make_unique<MidiKeyboardView>(nullptr, &f->model);
        view->resize(600, view->sizeHint().height());
        view->show();
        return view;
    }

    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_ChannelVoiceViews)
#include "tst_ChannelVoiceViews.moc"
