// The keyboard, control change, program change and pitch bend windows inside the real main
// window, over the Loopback service: both output ports looped back into both input ports.

#include "ShellTestSupport.h"

#include "model/TulvarMidiParameters.h"
#include "views/MidiControlChangeView.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
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
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int Timeout = 10000;

QAction* viewsEntry(MainWindow& window, const QString& text)
{
    for (QAction* menu : window.menuBar()->actions()) {
        if (menu->text() != QStringLiteral("&Views")) {
            continue;
        }
        for (QAction* action : menu->menu()->actions()) {
            if (action->text() == text) {
                return action;
            }
        }
    }
    return nullptr;
}

template <class View>
View* viewOf(MainWindow& window, int kind, int index = 0)
{
    QMdiSubWindow* subWindow = subWindowsOfKind(window, kind).value(index);
    return subWindow != nullptr ? qobject_cast<View*>(subWindow->widget()) : nullptr;
}

// "Port1 CC      B0 07 64" -> "Port1 CC B0 07 64", one entry per monitor line of that port.
QStringList linesOfPort(MidiEditView* monitor, const QString& port)
{
    static const QRegularExpression line(QStringLiteral("^(Port[12])\\s+(\\S+)\\s+((?:[0-9A-F]{2} ?)+)"));
    QStringList found;
    const QStringList lines = monitor->generalView()->textView()->toPlainText().split('\n');
    for (const QString& text : lines) {
        const QRegularExpressionMatch match = line.match(text);
        if (match.hasMatch() && match.captured(1) == port) {
            found << match.captured(1) + ' ' + match.captured(2) + ' ' + match.captured(3).trimmed();
        }
    }
    return found;
}

} // namespace

class tst_PlayingViewsEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }
    void viewsOpenFromTheViewsMenuWithTheirWindowRules();
    void everyMessageLeavesOnBothOutputsInOrder();
    void projectKeepsEveryViewsSettingsAndOpensSilently();

private:
    void assignPorts();

    std::unique_ptr<ShellFixture> f;
};

void tst_PlayingViewsEndToEnd::init()
{
    f = std::make_unique<ShellFixture>();
    f->create().show();
    QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    f->model.setModelIntValue(MessageDetailParameterId, 1);
    assignPorts();
}

void tst_PlayingViewsEndToEnd::assignPorts()
{
    const QString names[] = {QStringLiteral("Loopback A"), QStringLiteral("Loopback B")};
    for (unsigned int group = 0; group < 2; ++group) {
        QStringList list;
        unsigned int current = 0;
        f->window->getInputPortList(InputPortGroup(group), list, current);
        QVERIFY(list.indexOf(names[group]) > 0);
        QVERIFY(f->window->inputPortMenuSelected(InputPortGroup(group), unsigned(list.indexOf(names[group]) - 1)));
        f->window->getOutputPortList(OutputPortGroup(group), list, current);
        QVERIFY(list.indexOf(names[group]) > 0);
        QVERIFY(f->window->outputPortMenuSelected(OutputPortGroup(group), unsigned(list.indexOf(names[group]) - 1)));
    }
}

void tst_PlayingViewsEndToEnd::viewsOpenFromTheViewsMenuWithTheirWindowRules()
{
    MainWindow& window = *f->window;
    for (const QString& entry : {QStringLiteral("&Keyboard"), QStringLiteral("&Program Change"),
                                 QStringLiteral("Pitch &Bend")}) {
        QAction* action = viewsEntry(window, entry);
        QVERIFY2(action != nullptr && action->isEnabled(), qPrintable(entry));
        action->trigger();
    }
    QAction* controlChange = viewsEntry(window, QStringLiteral("&Control Change"));
    QVERIFY(controlChange != nullptr && controlChange->isEnabled());
    controlChange->menu()->actions().value(7)->trigger();

    QMdiSubWindow* keyboard = subWindowsOfKind(window, WindowRestorationInfo::KeyboardId).value(0);
    QVERIFY(keyboard != nullptr);
    QCOMPARE(keyboard->objectName(), QStringLiteral("KeyboardSubWindow"));
    QCOMPARE(keyboard->windowTitle(), QStringLiteral("Keyboard"));
    QCOMPARE(keyboard->minimumHeight(), keyboard->maximumHeight());
    QCOMPARE(keyboard->minimumWidth(), 350);
    QCOMPARE(keyboard->maximumWidth(), 1880);

    QMdiSubWindow* controller = subWindowsOfKind(window, WindowRestorationInfo::ControlChangeId).value(0);
    QVERIFY(controller != nullptr);
    QCOMPARE(controller->objectName(), QStringLiteral("ControlChangeViewSubWindow"));
    QCOMPARE(controller->windowTitle(), QStringLiteral("Control Change"));
    QCOMPARE(controller->size(), QSize(225, 250));
    QCOMPARE(viewOf<MidiControlChangeView>(window, WindowRestorationInfo::ControlChangeId)
                 ->controllerComboBox()
                 ->currentIndex(),
             7);

    QMdiSubWindow* program = subWindowsOfKind(window, WindowRestorationInfo::ProgramChangeId).value(0);
    QVERIFY(program != nullptr);
    QCOMPARE(program->windowTitle(), QStringLiteral("Program Change"));
    QCOMPARE(program->minimumSize(), program->maximumSize());

    QMdiSubWindow* pitchBend = subWindowsOfKind(window, WindowRestorationInfo::PitchBendId).value(0);
    QVERIFY(pitchBend != nullptr);
    QCOMPARE(pitchBend->objectName(), QStringLiteral("PitchbendViewSubWindow"));
    QCOMPARE(pitchBend->windowTitle(), QStringLiteral("Pitch Bend"));
    QCOMPARE(pitchBend->size(), QSize(220, 274));

    // Each view lays itself out without being squeezed below what it needs.
    for (QMdiSubWindow* subWindow : {keyboard, controller, program, pitchBend}) {
        QWidget* view = subWindow->widget();
        QVERIFY2(view->width() >= view->minimumSizeHint().width(), qPrintable(subWindow->windowTitle()));
        QVERIFY2(view->height() >= view->minimumSizeHint().height(), qPrintable(subWindow->windowTitle()));
    }
}

void tst_PlayingViewsEndToEnd::everyMessageLeavesOnBothOutputsInOrder()
{
    MainWindow& window = *f->window;
    auto* in = viewOf<MidiEditView>(window, WindowRestorationInfo::MidiInMonitorId);
    auto* out = viewOf<MidiEditView>(window, WindowRestorationInfo::MidiOutMonitorId);
    QVERIFY(in && out);

    viewsEntry(window, QStringLiteral("&Control Change"))->menu()->actions().value(7)->trigger();
    auto* controller = viewOf<MidiControlChangeView>(window, WindowRestorationInfo::ControlChangeId);
    controller->channelSpinBox()->setValue(16);
    controller->valueDial()->setValue(10);

    viewsEntry(window, QStringLiteral("&Program Change"))->trigger();
    auto* program = viewOf<MidiProgramChangeView>(window, WindowRestorationInfo::ProgramChangeId);
    program->channelSpinBox()->setWidgetValue(3);
    program->msbCheckBox()->setChecked(true);
    program->msbSpinBox()->setWidgetValue(1);
    program->lsbCheckBox()->setChecked(true);
    program->lsbSpinBox()->setWidgetValue(2);
    program->programNumberDisplay()->setValue(5);
    QTest::mousePress(program->transmitButton(), Qt::LeftButton);

    viewsEntry(window, QStringLiteral("Pitch &Bend"))->trigger();
    auto* pitchBend = viewOf<MidiPitchbendView>(window, WindowRestorationInfo::PitchBendId);
    pitchBend->wheelModeCheckBox()->setChecked(false);
    pitchBend->slider()->setValue(65);
    QCOMPARE(pitchBend->displaySpinBox()->value(), 130);

    viewsEntry(window, QStringLiteral("&Keyboard"))->trigger();
    auto* keyboard = viewOf<MidiKeyboardView>(window, WindowRestorationInfo::KeyboardId);
    QTest::mousePress(keyboard->keyboard(), Qt::LeftButton, Qt::NoModifier, QPoint(35 * 25 + 12, 90));
    keyboard->upperView()->channelSpinBox()->setValue(2);
    subWindowsOfKind(window, WindowRestorationInfo::KeyboardId).value(0)->close();

    const QStringList sent{"CC BF 07 0A",  "CC B2 00 01", "CC B2 20 02", "PC C2 04",
                           "PB E0 02 41", "NoteOn 90 3C 40", "NoteOff 80 3C 00"};
    for (const QString& port : {QStringLiteral("Port1"), QStringLiteral("Port2")}) {
        QStringList expected;
        for (const QString& message : sent) {
            expected << port + ' ' + message;
        }
        QTRY_COMPARE_WITH_TIMEOUT(linesOfPort(out, port), expected, Timeout);
        QTRY_COMPARE_WITH_TIMEOUT(linesOfPort(in, port), expected, Timeout);
    }
}

void tst_PlayingViewsEndToEnd::projectKeepsEveryViewsSettingsAndOpensSilently()
{
    MainWindow& window = *f->window;
    viewsEntry(window, QStringLiteral("&Keyboard"))->trigger();
    auto* keyboard = viewOf<MidiKeyboardView>(window, WindowRestorationInfo::KeyboardId);
    keyboard->scrollArea()->horizontalScrollBar()->setValue(250);
    keyboard->upperView()->channelSpinBox()->setValue(5);
    keyboard->upperView()->velocitySpinBox()->setValue(90);
    keyboard->upperView()->pressureComboBox()->setCurrentIndex(2);

    // A control change window restored from the settings file, whose values read back as text.
    QVERIFY(window.createSubWindowByWindowId(WindowRestorationInfo::ControlChangeId, false, QRect(10, 10, 225, 250),
                                             Qt::WindowNoState, {QStringLiteral("64"), QStringLiteral("0")}));
    auto* controller = viewOf<MidiControlChangeView>(window, WindowRestorationInfo::ControlChangeId);
    QCOMPARE(controller->controllerComboBox()->currentIndex(), 64);
    controller->valueDial()->setValue(99);

    viewsEntry(window, QStringLiteral("&Program Change"))->trigger();
    auto* program = viewOf<MidiProgramChangeView>(window, WindowRestorationInfo::ProgramChangeId);
    program->programNumberDisplay()->setValue(4);
    program->autoTransmitCheckBox()->setChecked(true);

    viewsEntry(window, QStringLiteral("Pitch &Bend"))->trigger();
    auto* pitchBend = viewOf<MidiPitchbendView>(window, WindowRestorationInfo::PitchBendId);
    pitchBend->wheelModeCheckBox()->setChecked(false);
    pitchBend->slider()->setValue(100);
    const int bend = pitchBend->displaySpinBox()->value();

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("play.tulvarmidi"));
    QVERIFY(window.saveProjectFile(path));
    // Saved one-based as 4; opened zero-based it is the same program, 3.
    f->model.setModelIntValue(ProgramNumberBaseParameterId, 0);
    auto* out = viewOf<MidiEditView>(window, WindowRestorationInfo::MidiOutMonitorId);
    QTRY_VERIFY_WITH_TIMEOUT(!out->generalView()->textView()->toPlainText().isEmpty(), Timeout);

    QVERIFY(window.openProjectFile(path));
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    keyboard = viewOf<MidiKeyboardView>(window, WindowRestorationInfo::KeyboardId);
    controller = viewOf<MidiControlChangeView>(window, WindowRestorationInfo::ControlChangeId);
    program = viewOf<MidiProgramChangeView>(window, WindowRestorationInfo::ProgramChangeId);
    pitchBend = viewOf<MidiPitchbendView>(window, WindowRestorationInfo::PitchBendId);
    QVERIFY(keyboard && controller && program && pitchBend);
    QCOMPARE(keyboard->scrollArea()->horizontalScrollBar()->value(), 250);
    QCOMPARE(keyboard->upperView()->channelSpinBox()->value(), 5);
    QCOMPARE(keyboard->upperView()->velocitySpinBox()->value(), 90);
    QCOMPARE(keyboard->keyboard()->pressureMode(), 2);
    QCOMPARE(controller->controllerComboBox()->currentIndex(), 64);
    QCOMPARE(controller->getRestorationParameters(), (QList<QVariant>{64, 0}));
    QCOMPARE(controller->valueDial()->value(), 99);
    QCOMPARE(program->programNumberDisplay()->value(), 3);
    QVERIFY(program->autoTransmitCheckBox()->isChecked());
    QVERIFY(!pitchBend->wheelModeCheckBox()->isChecked());
    QCOMPARE(pitchBend->displaySpinBox()->value(), bend);
    QCOMPARE(pitchBend->slider()->value(), 100);

    // Two monitor ticks: nothing was sent while the project opened.
    out = viewOf<MidiEditView>(window, WindowRestorationInfo::MidiOutMonitorId);
    QTest::qWait(300);
    QCOMPARE(out->generalView()->textView()->toPlainText(), QString());
}

QTEST_MAIN(tst_PlayingViewsEndToEnd)
#include "tst_PlayingViewsEndToEnd.moc"
