#include "MidiEditFixture.h"
#include "testkit/Hex.h"

#include "engine/MidiEditRepeatTransmittionThread.h"
#include "engine/MidiEditTransmittionThread.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditRepeatMessageView.h"
#include "views/RepeatSettingsView.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

Q_DECLARE_METATYPE(MidiEditView::OpenMode)
Q_DECLARE_METATYPE(MidiEditView::View)

namespace {

constexpr int Timeout = 10000;

// A system exclusive message of `size` bytes as message text.
QString sysExText(int size)
{
    return QStringLiteral("F0") + QStringLiteral(" 01").repeated(size - 2) + QStringLiteral(" F7");
}

bool sendDrag(MidiEditTextView* text, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &enter);
    if (!enter.isAccepted()) {
        return false;
    }
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(text->viewport(), &drop);
    return drop.isAccepted();
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class tst_MidiEditEditor : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<MidiEditFixture>(); }
    void cleanup() { f.reset(); }
    void toolbarHoldsTheEditorActions();
    void progressPageShowsOnlyAbove256Bytes_data();
    void progressPageShowsOnlyAbove256Bytes();
    void selectionIsTransmittedAlone();
    void cancelStopsAfterMessageInProgress();
    void failureShowsErrorThroughBothReports();
    void onlyOneEditorTransmitsAtATime();
    void receiveInEmptyEditorCollectsBytes();
    void receivingShowsParserOffMessage();
    void repetitionRunsUntilCancelledAndDeafensReceivers();
    void keysAndActionsTransmitAndReceive();
    void contextMenuOffersEditorEntriesUnlessTransmitting();
    void textFilesAreLoadedSavedAndDropped();
    void unreadableOrUnwritableFileIsReported();
    void openDialogStartsInWorkingFolder();
    void payloadIsWritten_data();
    void payloadIsWritten();
    void payloadIsReadBack_data();
    void payloadIsReadBack();
    void closingMarksModifiedAndEndsTransmission();

private:
    MidiEditView* makeEditor(const QString& text = QString())
    {
        return f->make(MidiEditView::SystemExclusiveEdit, text, true);
    }
    void waitUntilIdle(MidiEditView* view)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!view->isTransmitting(), Timeout);
        QCOMPARE(f->model.getModelIntValue(MidiEditTransmissionStateParameterId), 0);
    }

    std::unique_ptr<MidiEditFixture> f;
};

void tst_MidiEditEditor::toolbarHoldsTheEditorActions()
{
    QToolBar* toolBar = makeEditor()->generalView()->toolBar();
    QCOMPARE(toolBar->height(), 36);
    QStringList tips;
    for (QAction* action : toolBar->actions()) {
        if (action->isSeparator()) {
            tips << QStringLiteral("-");
        } else if (auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action))) {
            tips << button->toolTip();
            QCOMPARE(button->size(), QSize(32, 32));
        }
    }
    QCOMPARE(tips, QStringList({"New", "Open", "Save", "-", "Transmit", "Receive", "Transmit and Receive", "-",
                                "Find"}));
}

void tst_MidiEditEditor::progressPageShowsOnlyAbove256Bytes_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<MidiEditView::View>("page");
    QTest::newRow("100 bytes") << 100 << MidiEditView::General;
    QTest::newRow("256 bytes") << 256 << MidiEditView::General;
    QTest::newRow("300 bytes") << 300 << MidiEditView::Progress;
}

void tst_MidiEditEditor::progressPageShowsOnlyAbove256Bytes()
{
    QFETCH(int, size);
    QFETCH(MidiEditView::View, page);
    MidiEditView* view = makeEditor(sysExText(size));
    f->mainWindow.transmitter.hold();
    view->generalView()->transmitMenuSelected();
    QVERIFY(view->isTransmitting());
    QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
    MidiEditProgressView* progress = view->progressView();
    QTRY_VERIFY_WITH_TIMEOUT(progress->progressBar() != nullptr, Timeout);
    QCOMPARE(view->currentView(), page);
    QCOMPARE(progress->progressBar()->maximum(), size);
    QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));
    QVERIFY(!view->generalView()->toolBar()->isEnabled());

    f->mainWindow.transmitter.release();
    waitUntilIdle(view);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QVERIFY(progress->progressBar() == nullptr);
    QVERIFY(view->generalView()->toolBar()->isEnabled());
    QCOMPARE(f->mainWindow.transmitter.byteCount(), size);
}

void tst_MidiEditEditor::selectionIsTransmittedAlone()
{
    MidiEditView* view = makeEditor(QStringLiteral("90 3C 64\nC0 05\nB0 07 64"));
    MidiEditTextView* text = view->generalView()->textView();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(0);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    text->setTextCursor(cursor);
    view->generalView()->transmitMenuSelected();
    waitUntilIdle(view);
    QCOMPARE(f->mainWindow.transmitter.sentBytes(), (QList<QByteArray>{hex("903C64"), hex("C005")}));
}

void tst_MidiEditEditor::cancelStopsAfterMessageInProgress()
{
    MidiEditView* view = makeEditor(QStringLiteral("90 3C 64\n").repeated(100));
    MidiEditTransmittionThread* worker = view->worker();
    // Messages wait at the gate; once the view has asked the worker to stop, they may go.
    f->mainWindow.transmitter.hold([worker] { return !worker->isTransmittionRunning(); });
    view->generalView()->transmitMenuSelected();
    QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
    QTRY_COMPARE_WITH_TIMEOUT(view->currentView(), MidiEditView::Progress, Timeout);

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    f->mainWindow.transmitter.permit(1);
    waitUntilIdle(view);
    // The first message was sent and reported; the one in progress at the stop went out too.
    QCOMPARE(f->mainWindow.transmitter.byteCount(), 6);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(f->model.getModelIntValue(MidiEditRepeatModeParameterId), 0);
}

void tst_MidiEditEditor::failureShowsErrorThroughBothReports()
{
    // The worker reports the error, then the end of the text (its own test); the view shows both.
    MidiEditView* view = makeEditor(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
    QSignalSpy finished(view->worker(), &MidiEditTransmittionThread::finishTransmittion);
    f->mainWindow.transmitter.failFrom(0);
    view->generalView()->transmitMenuSelected();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isTransmitting(), Timeout);
    QCoreApplication::processEvents();

    QCOMPARE(view->currentView(), MidiEditView::Progress);
    QCOMPARE(view->progressView()->state(), MidiEditProgressView::Error);
    QCOMPARE(view->progressView()->message(), QStringLiteral("Failed to transmit message."));
    QCOMPARE(view->progressView()->button()->text(), QStringLiteral("OK"));

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(textOf(view), QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
}

void tst_MidiEditEditor::onlyOneEditorTransmitsAtATime()
{
    MidiEditView* first = makeEditor(QStringLiteral("90 3C 64"));
    MidiEditView* second = makeEditor(QStringLiteral("80 3C 00"));
    f->mainWindow.transmitter.hold();
    first->generalView()->transmitMenuSelected();
    QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
    QCOMPARE(f->model.getModelIntValue(MidiEditTransmissionStateParameterId), 1);
    QVERIFY(!second->generalView()->toolBar()->isEnabled());

    second->generalView()->transmitMenuSelected();
    second->transmitMessage(QStringLiteral("80 3C 00"));
    QVERIFY(!second->isTransmitting());
    // Nor does a second editor start receiving while a transmission runs.
    MidiEditView* empty = makeEditor();
    empty->generalView()->receiveMenuSelected();
    QVERIFY(!empty->isReceiving());

    f->mainWindow.transmitter.release();
    waitUntilIdle(first);
    QCOMPARE(f->mainWindow.transmitter.sentBytes(), QList<QByteArray>{hex("903C64")});
    QVERIFY(second->generalView()->toolBar()->isEnabled());
}

void tst_MidiEditEditor::receiveInEmptyEditorCollectsBytes()
{
    MidiEditView* view = makeEditor();
    f->model.setParameterEditFlag(ParameterEditFlagUnchanged);
    view->generalView()->receiveMenuSelected();
    QVERIFY(view->isReceiving());
    QCOMPARE(view->currentView(), MidiEditView::Progress);
    QCOMPARE(view->progressView()->message(), QStringLiteral("0Bytes"));

    view->receivedMessage(QStringLiteral("\nF0 7E 7F 06 01 F7"), 6);
    QCOMPARE(view->progressView()->message(), QStringLiteral("6Bytes"));
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagUnchanged);
    view->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QCOMPARE(view->progressView()->message(), QStringLiteral("9Bytes"));

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QVERIFY(!view->isReceiving());
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(textOf(view), QStringLiteral("F0 7E 7F 06 01 F7\nF0 01 F7"));
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagChanged);

    // Not receiving any more: further text is ignored.
    view->receivedMessage(QStringLiteral("\nF0 02 F7"), 3);
    QCOMPARE(textOf(view), QStringLiteral("F0 7E 7F 06 01 F7\nF0 01 F7"));

    MidiEditView* receiver = f->make(MidiEditView::SystemExclusiveReceive, QString(), true);
    receiver->receivedMessage(QStringLiteral("\nF8"), 1);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("1Byte"));
    QTest::keyClick(receiver->progressView(), Qt::Key_Return);
    QCOMPARE(receiver->currentView(), MidiEditView::General);
}

void tst_MidiEditEditor::receivingShowsParserOffMessage()
{
    MidiEditView* view = f->make(MidiEditView::SystemExclusiveReceive);
    f->model.setModelIntValue(MessageParsedParameterId, 0);
    QCOMPARE(view->progressView()->message(),
             QStringLiteral("Message receive function is currently disabled.\nTurn On File > Preferences > Parser."));
    f->model.setModelIntValue(MessageParsedParameterId, 1);
    QCOMPARE(view->progressView()->message(), QStringLiteral("0Bytes"));
}

void tst_MidiEditEditor::repetitionRunsUntilCancelledAndDeafensReceivers()
{
    MidiEditView* view = makeEditor(QStringLiteral("FE"));
    MidiEditView* receiver = f->make(MidiEditView::SystemExclusiveReceive);
    RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
    settings->repeatCheckBox()->setChecked(true);
    settings->intervalSpinBox()->setValue(500);

    view->generalView()->transmitMenuSelected();
    QCOMPARE(f->model.getModelIntValue(MidiEditRepeatModeParameterId), 1);
    QCOMPARE(view->currentView(), MidiEditView::Repeat);
    QVERIFY(view->repeatWorker() != nullptr);
    QVERIFY(f->mainWindow.transmitter.waitForMessages(2));

    receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QVERIFY(textOf(receiver).isEmpty());
    QCOMPARE(receiver->progressView()->message(),
             QStringLiteral("Unable to receive messages when repeating\nmessage transmission is in-process."));

    QTest::mouseClick(view->repeatView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QTRY_VERIFY_WITH_TIMEOUT(view->repeatWorker() == nullptr, Timeout);
    waitUntilIdle(view);
    QCOMPARE(f->model.getModelIntValue(MidiEditRepeatModeParameterId), 0);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("0Bytes"));
    receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("3Bytes"));
}

void tst_MidiEditEditor::keysAndActionsTransmitAndReceive()
{
    MidiEditView* view = makeEditor(QStringLiteral("C0 05"));
    MidiEditTextView* text = view->generalView()->textView();
    QTest::keyClick(text, Qt::Key_F5);
    waitUntilIdle(view);
    QCOMPARE(f->mainWindow.transmitter.byteCount(), 2);

    // Receive in an editor with text opens a receiving window instead.
    QTest::keyClick(text, Qt::Key_F6);
    QVERIFY(!view->isReceiving());
    QCOMPARE(f->mainWindow.openedEditors.size(), 1);

    // Transmit and receive: a receiving window first, then the text goes out.
    QTest::keyClick(text, Qt::Key_F7);
    QCOMPARE(f->mainWindow.openedEditors.size(), 2);
    waitUntilIdle(view);
    QCOMPARE(f->mainWindow.transmitter.byteCount(), 4);
    for (const FakeMainWindow::OpenedEditor& opened : qAsConst(f->mainWindow.openedEditors)) {
        QVERIFY(opened.receiving);
        QVERIFY(opened.text.isEmpty());
    }

    text->clear();
    QTest::keyClick(text, Qt::Key_F6);
    QVERIFY(view->isReceiving());

    MidiEditView* other = makeEditor(QStringLiteral("F0 F7"));
    QTest::keyClick(other->generalView()->textView(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(other->generalView()->repeatSettingsView()->isVisible());
    QCOMPARE(textOf(other), QStringLiteral("F0 F7"));
}

void tst_MidiEditEditor::contextMenuOffersEditorEntriesUnlessTransmitting()
{
    MidiEditView* view = makeEditor(QStringLiteral("90 3C 64"));
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const QStringList entries = contextMenuEntries(view->generalView()->textView());
    const QStringList tail = {"-", "&New", "&Open...", "&Save...", "-", "&Transmit\tF5", "&Receive\tF6",
                              "&Transmit and Receive\tF7", "-", "&Find...\tCtrl+F", "-",
                              "R&epeat Transmission Settings...\tCtrl+R"};
    QVERIFY(entries.size() > tail.size());
    QCOMPARE(entries.mid(entries.size() - tail.size()), tail);

    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 1);
    QVERIFY(contextMenuEntries(view->generalView()->textView()).isEmpty());
    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
}

void tst_MidiEditEditor::textFilesAreLoadedSavedAndDropped()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("identity.txt"));
    const QString other = folder.filePath(QStringLiteral("song.mid"));
    writeFile(path, "F0 7E 7F 06 01 F7 // identity\n");
    writeFile(other, "MThd");

    MidiEditView* empty = makeEditor();
    empty->generalView()->loadTextFile(path);
    QCOMPARE(textOf(empty), QStringLiteral("F0 7E 7F 06 01 F7 // identity\n"));
    QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());

    // An editor with text opens the file in a new window of its size.
    MidiEditView* full = makeEditor(QStringLiteral("C0 05"));
    full->generalView()->loadTextFile(path);
    QCOMPARE(textOf(full), QStringLiteral("C0 05"));
    QCOMPARE(f->mainWindow.openedEditors.size(), 1);
    QVERIFY(!f->mainWindow.openedEditors.first().receiving);
    QCOMPARE(f->mainWindow.openedEditors.first().size, full->size());
    QCOMPARE(f->mainWindow.openedEditors.first().text, QStringLiteral("F0 7E 7F 06 01 F7 // identity\n"));

    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    QVERIFY(full->generalView()->saveTextFile(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("C0 05"));
    QVERIFY(f->mainWindow.errors.isEmpty());

    // Drops: only a ".txt" file, and not while a transmission runs.
    MidiEditTextView* area = makeEditor()->generalView()->textView();
    f->model.setModelStringValue(DumpFileWorkingDirectoryParameterId, QString());
    QVERIFY(!sendDrag(area, other));
    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 1);
    QVERIFY(!sendDrag(area, path));
    f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
    QVERIFY(area->toPlainText().isEmpty());
    QVERIFY(sendDrag(area, path));
    QCOMPARE(area->toPlainText(), QStringLiteral("F0 7E 7F 06 01 F7 // identity\n"));
    QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());
}

void tst_MidiEditEditor::unreadableOrUnwritableFileIsReported()
{
    QTemporaryDir folder;
    MidiEditView* view = makeEditor();
    view->generalView()->loadTextFile(folder.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(f->mainWindow.errors, QStringList({"File open failed."}));
    QVERIFY(textOf(view).isEmpty());

    view->generalView()->setText(QStringLiteral("F0 F7"));
    QVERIFY(!view->generalView()->saveTextFile(folder.filePath(QStringLiteral("no/such/folder/x.txt"))));
    QCOMPARE(f->mainWindow.errors, QStringList({"File open failed.", "File save failed."}));
}

void tst_MidiEditEditor::openDialogStartsInWorkingFolder()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dump.txt"));
    writeFile(path, "F0 01 F7");
    f->model.setModelStringValue(DumpFileWorkingDirectoryParameterId, folder.path());
    MidiEditView* view = makeEditor();

    QString startFolder;
    QString title;
    QTimer::singleShot(0, this, [&] {
        QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr);
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        startFolder = dialog->directory().absolutePath();
        title = dialog->windowTitle();
        dialog->selectFile(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    view->generalView()->openMenuSelected();
    QCOMPARE(title, QStringLiteral("Open"));
    QCOMPARE(startFolder, QDir(folder.path()).absolutePath());
    QCOMPARE(f->mainWindow.keyboardClears, 1);
    QCOMPARE(textOf(view), QStringLiteral("F0 01 F7"));
}

void tst_MidiEditEditor::payloadIsWritten_data()
{
    QTest::addColumn<MidiEditView::OpenMode>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("payload");
    const QByteArray utf8 = QStringLiteral("F0 7E // Grüße").toUtf8();
    QTest::newRow("editor") << MidiEditView::SystemExclusiveEdit << QStringLiteral("F0 7E // Grüße")
                            << QByteArray(7, '\0') + char(utf8.size()) + utf8;
    QTest::newRow("empty editor") << MidiEditView::SystemExclusiveEdit << QString() << QByteArray(8, '\0');
    QTest::newRow("receiving editor") << MidiEditView::SystemExclusiveReceive << QString() << QByteArray();
    QTest::newRow("In monitor") << MidiEditView::InMonitor << QString() << QByteArray();
    QTest::newRow("Out monitor") << MidiEditView::OutMonitor << QString() << QByteArray();
}

void tst_MidiEditEditor::payloadIsWritten()
{
    QFETCH(MidiEditView::OpenMode, mode);
    QFETCH(QString, text);
    QFETCH(QByteArray, payload);
    MidiEditView* view = f->make(mode, text);
    // What a receiving editor or a monitor holds is not saved.
    view->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QByteArray written;
    QDataStream out(&written, QIODevice::WriteOnly);
    QVERIFY(view->getDataStream(out));
    QCOMPARE(written, payload);
}

void tst_MidiEditEditor::payloadIsReadBack_data()
{
    QTest::addColumn<MidiEditView::OpenMode>("mode");
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("text");
    const MidiEditView::OpenMode editor = MidiEditView::SystemExclusiveEdit;
    const QByteArray text = QStringLiteral("F0 7E // Grüße").toUtf8();
    const QByteArray tag = QByteArray(4, '\0');
    const QByteArray length = QByteArray(3, '\0') + char(text.size());
    QTest::newRow("text") << editor << tag + length + text << true << QStringLiteral("F0 7E // Grüße");
    QTest::newRow("empty text") << editor << QByteArray(8, '\0') << true << QString();
    QTest::newRow("nothing stored") << editor << QByteArray() << true << QStringLiteral("old");
    QTest::newRow("monitor ignores it") << MidiEditView::InMonitor << tag + length + text << true
                                        << QStringLiteral("old");
    // Damaged records of every other kind are the record reader's test (FileStream).
    QTest::newRow("wrong tag") << editor << hex("00000001") + length + text << false << QStringLiteral("old");
}

void tst_MidiEditEditor::payloadIsReadBack()
{
    QFETCH(MidiEditView::OpenMode, mode);
    QFETCH(QByteArray, payload);
    QFETCH(bool, read);
    QFETCH(QString, text);
    MidiEditView* view = f->make(mode);
    view->generalView()->setText(QStringLiteral("old"));
    QDataStream in(payload);
    QCOMPARE(view->setDataStream(in), read);
    QCOMPARE(textOf(view), text);
}

void tst_MidiEditEditor::closingMarksModifiedAndEndsTransmission()
{
    MidiEditView* idle = makeEditor();
    f->model.setParameterEditFlag(ParameterEditFlagUnchanged);
    idle->close();
    QCOMPARE(f->model.getParameterEditFlag(), ParameterEditFlagChanged);

    MidiEditView* view = makeEditor(QStringLiteral("90 3C 64\n").repeated(50));
    MidiEditTransmittionThread* worker = view->worker();
    f->mainWindow.transmitter.hold([worker] { return !worker->isTransmittionRunning(); });
    view->generalView()->transmitMenuSelected();
    QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
    view->close();
    QCOMPARE(f->model.getModelIntValue(MidiEditTransmissionStateParameterId), 0);
    QVERIFY(f->mainWindow.transmitter.byteCount() < 150);
}

QTEST_MAIN(tst_MidiEditEditor)
#include "tst_MidiEditEditor.moc"
