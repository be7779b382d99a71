// The filter view over the real main window and the Loopback service: a switch set in the view
// stops a message before the In monitor and before thru, and is there again after a restart.

#include "ShellTestSupport.h"

#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/MidiFilterView.h"
#include "widgets/CheckBox.h"

#include <QtTest>

namespace {

using PortDirection = SettingsStore::PortDirection;

constexpr int Timeout = 10000;

QString plainText(QMdiSubWindow* monitor)
{
    return qobject_cast<MidiEditView*>(monitor->widget())->generalView()->textView()->toPlainText();
}

void selectPort(MainWindow& window, PortDirection direction, unsigned int group, const QString& name)
{
    QStringList names;
    unsigned int current = 0;
    window.getPortList(direction, group, names, current);
    QVERIFY(names.indexOf(name) > 0);
    QVERIFY(window.selectPort(direction, group, unsigned(names.indexOf(name) - 1)));
}

} // namespace

class tst_FilterEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void blockedNoteOnNeitherReachesTheMonitorNorThruAndPersists()
    {
        ShellFixture f;
        MainWindow& window = f.create();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The second output sends into "Loopback A", the first input hears it and passes it
        // through to the first output.
        selectPort(window, PortDirection::Input, 0, QStringLiteral("Loopback A"));
        selectPort(window, PortDirection::Output, 0, QStringLiteral("Loopback B"));
        selectPort(window, PortDirection::Output, 1, QStringLiteral("Loopback A"));
        f.model.setModelIntValue(MidiThruParameterId, 1);
        f.model.setModelIntValue(MessageDetailParameterId, 1);
        QMdiSubWindow* in = window.createMidiEditView(WindowRestorationInfo::MidiInMonitorId, false, QSize(), QString());
        QMdiSubWindow* out = window.createMidiEditView(WindowRestorationInfo::MidiOutMonitorId, false, QSize(), QString());
        QVERIFY(in && out);

        auto* filter = new MidiFilterView(nullptr, &f.model);
        QTest::mouseClick(filter->messageCheckBoxes().at(1), Qt::LeftButton, {}, QPoint(5, 8));
        QCOMPARE(f.model.getModelIntValue(MessageTypeFilterParameterId + 1), 1);

        const unsigned char noteOn[] = {0x90, 0x3C, 0x40};
        const unsigned char volume[] = {0xB0, 0x07, 0x64};
        QVERIFY(window.transmitMidi(noteOn, 3, 1, OutputPortGroupSecond, true));
        QVERIFY(window.transmitMidi(volume, 3, 3, OutputPortGroupSecond, true));

        // The controller went out, came in and went through; the note only went out.
        QTRY_VERIFY_WITH_TIMEOUT(plainText(out).contains(QStringLiteral("Port1 CC")), Timeout);
        QVERIFY2(plainText(out).contains(QStringLiteral("Port2 NoteOn")), qPrintable(plainText(out)));
        QVERIFY2(!plainText(out).contains(QStringLiteral("Port1 NoteOn")), qPrintable(plainText(out)));
        QTRY_VERIFY_WITH_TIMEOUT(plainText(in).contains(QStringLiteral("CC ")), Timeout);
        QVERIFY2(!plainText(in).contains(QStringLiteral("NoteOn")), qPrintable(plainText(in)));
        delete filter;

        // The settings file keeps the switch for the next start.
        f.window.reset();
        TulvarMidiModel restarted;
        MainWindow again(nullptr, &restarted, f.service);
        QCOMPARE(restarted.getModelIntValue(MessageTypeFilterParameterId + 1), 1);
        QCOMPARE(restarted.getModelIntValue(MessageTypeFilterParameterId), 0);
    }
};

QTEST_MAIN(tst_FilterEndToEnd)
#include "tst_FilterEndToEnd.moc"
