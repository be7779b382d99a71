// The monitors and the message editor inside the real main window, over the Loopback service:
// ports, analyzer and the monitor timer are the program's own.

#include "ShellTestSupport.h"

#include "engine/MidiEditTransmittionThread.h"
#include "model/TulvarMidiParameters.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QMdiSubWindow>
#include <QTextBlock>
#include <QtTest>

#include <memory>

namespace {

constexpr int Timeout = 10000;

QString plainText(MidiEditView* view)
{
    return view->generalView()->textView()->toPlainText();
}

} // namespace

class tst_MidiEditEndToEnd : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { f.reset(); }
    void identityRequestTravelsThroughBothMonitorsIntoReceiver();
    void bulkDumpReportsProgressAndPausesAfterEachF7();

private:
    MidiEditView* open(MidiEditView::OpenMode mode);
    void assignLoopbackA();

    std::unique_ptr<ShellFixture> f;
};

void tst_MidiEditEndToEnd::init()
{
    f = std::make_unique<ShellFixture>();
    f->create().show();
    QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
    assignLoopbackA();
}

void tst_MidiEditEndToEnd::assignLoopbackA()
{
    QStringList names;
    unsigned int current = 0;
    f->window->getInputPortList(InputPortGroupFirst, names, current);
    const int input = names.indexOf(QStringLiteral("Loopback A"));
    QVERIFY(input > 0);
    QVERIFY(f->window->inputPortMenuSelected(InputPortGroupFirst, unsigned(input - 1)));
    f->window->getOutputPortList(OutputPortGroupFirst, names, current);
    const int output = names.indexOf(QStringLiteral("Loopback A"));
    QVERIFY(output > 0);
    QVERIFY(f->window->outputPortMenuSelected(OutputPortGroupFirst, unsigned(output - 1)));
}

MidiEditView* tst_MidiEditEndToEnd::open(MidiEditView::OpenMode mode)
{
    // The window opens both monitors at start; editors are made as asked.
    QMdiSubWindow* subWindow = nullptr;
    if (mode == MidiEditView::InMonitor || mode == MidiEditView::OutMonitor) {
        subWindow = subWindowsOfKind(*f->window, mode == MidiEditView::InMonitor ? WindowRestorationInfo::MidiInMonitorId
                                                                                : WindowRestorationInfo::MidiOutMonitorId)
                        .value(0);
    } else {
        subWindow = f->window->createMidiEditView(WindowRestorationInfo::MidiMessageEditorId,
                                                  mode == MidiEditView::SystemExclusiveReceive, QSize(), QString());
    }
    return subWindow != nullptr ? qobject_cast<MidiEditView*>(subWindow->widget()) : nullptr;
}

void tst_MidiEditEndToEnd::identityRequestTravelsThroughBothMonitorsIntoReceiver()
{
    f->model.setModelIntValue(MessageDetailParameterId, 1);
    MidiEditView* in = open(MidiEditView::InMonitor);
    MidiEditView* out = open(MidiEditView::OutMonitor);
    MidiEditView* receiver = open(MidiEditView::SystemExclusiveReceive);
    MidiEditView* editor = open(MidiEditView::SystemExclusiveEdit);
    QVERIFY(in && out && receiver && editor);
    QCOMPARE(receiver->currentView(), MidiEditView::Progress);

    editor->generalView()->setText(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
    editor->generalView()->transmitMenuSelected();

    const QString line = QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7");
    QTRY_COMPARE_WITH_TIMEOUT(plainText(out), line, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(plainText(in), line, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(receiver->progressView()->message(), QStringLiteral("6Bytes"), Timeout);
    QCOMPARE(plainText(receiver), QStringLiteral("F0 7E 7F 06 01 F7"));
    QCOMPARE(receiver->currentView(), MidiEditView::Progress);
}

void tst_MidiEditEndToEnd::bulkDumpReportsProgressAndPausesAfterEachF7()
{
    // 50 messages of 2048 bytes: 100 KiB, with 20 ms after each F7.
    constexpr int Messages = 50;
    constexpr int MessageSize = 2048;
    constexpr int Interval = 20;
    f->model.setModelIntValue(BulkIntervalParameterId, Interval);
    f->model.setModelIntValue(TimeStampParameterId, 1);
    f->model.setModelIntValue(MessageTimeFormatParameterId, 1);
    MidiEditView* out = open(MidiEditView::OutMonitor);
    MidiEditView* editor = open(MidiEditView::SystemExclusiveEdit);
    QVERIFY(out && editor);

    QString dump;
    for (int m = 0; m < Messages; ++m) {
        dump += QStringLiteral("F0");
        for (int i = 0; i < MessageSize - 2; ++i) {
            dump += QString::asprintf(" %02X", (m + i) & 0x7F);
        }
        dump += QStringLiteral(" F7\n");
    }
    editor->generalView()->setText(dump);
    QSignalSpy started(editor->worker(), &MidiEditTransmittionThread::startTransmittion);
    QSignalSpy progress(editor->worker(), &MidiEditTransmittionThread::transmittionProgress);
    QSignalSpy finished(editor->worker(), &MidiEditTransmittionThread::finishTransmittion);
    editor->generalView()->transmitMenuSelected();

    QTRY_COMPARE_WITH_TIMEOUT(editor->currentView(), MidiEditView::Progress, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 30000);
    QCOMPARE(finished.first().first().toInt(), 0);
    QCOMPARE(started.count(), 1);
    QCOMPARE(started.first().first().toUInt(), quint32(Messages * MessageSize));
    QCOMPARE(progress.count(), Messages);
    for (int m = 0; m < Messages; ++m) {
        QCOMPARE(progress.at(m).first().toUInt(), quint32((m + 1) * MessageSize));
    }
    QTRY_COMPARE_WITH_TIMEOUT(editor->currentView(), MidiEditView::General, Timeout);

    // The Out monitor's time stamps are taken as each message leaves: at least the interval apart.
    QTRY_COMPARE_WITH_TIMEOUT(out->generalView()->textView()->document()->blockCount(), Messages, Timeout);
    qint64 previous = -1;
    for (QTextBlock block = out->generalView()->textView()->document()->firstBlock(); block.isValid();
         block = block.next()) {
        const qint64 time = block.text().left(12).toLongLong();
        QVERIFY2(block.text().mid(13).startsWith(QStringLiteral("F0 ")), qPrintable(block.text().left(40)));
        if (previous >= 0) {
            // Stamps are whole milliseconds, so a pause of the interval may show one less.
            QVERIFY2((time - previous + 86400000) % 86400000 >= Interval - 1, qPrintable(QString::number(time - previous)));
        }
        previous = time;
    }
}

QTEST_MAIN(tst_MidiEditEndToEnd)
#include "tst_MidiEditEndToEnd.moc"
