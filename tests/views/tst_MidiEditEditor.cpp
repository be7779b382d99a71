#include "FakeMainWindow.h"

#include "engine/MidiEditRepeatTransmittionThread.h"
#include "engine/MidiEditTransmittionThread.h"
#include "model/TulvarMidiModel.h"
#include "persistence/FileStream.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditRepeatMessageView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/RepeatSettingsView.h"

#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QMenu>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedLayout>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;

// A system exclusive message of `size` bytes as message text.
QString sysExText(int size)
{
    QString text = QStringLiteral("F0");
    for (int i = 0; i < size - 2; ++i) {
        text += QStringLiteral(" 01");
    }
    return text + QStringLiteral(" F7");
}

QString noteOnsText(int count)
{
    QString text;
    for (int i = 0; i < count; ++i) {
        text += QStringLiteral("90 3C 64\n");
    }
    return text;
}

QStringList contextMenuEntries(MidiEditTextView* text)
{
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), text->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(text->viewport(), &event);
    QStringList entries;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* menu = qobject_cast<QMenu*>(widget);
        if (menu != nullptr && menu->isVisible()) {
            for (QAction* action : menu->actions()) {
                entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
            }
            menu->close();
        }
    }
    return entries;
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
    void init();
    void cleanup();
    void toolbarHoldsTheEditorActions();
    void smallTransmissionNeverShowsProgress();
    void largeTransmissionShowsProgressBar();
    void selectionIsTransmittedAlone();
    void cancelStopsAfterMessageInProgress();
    void failureShowsErrorThroughBothReports();
    void onlyOneEditorTransmitsAtATime();
    void receiveInEmptyEditorCollectsBytes();
    void receiveInEditorWithTextOpensReceivingWindow();
    void transmitAndReceiveOpensReceiverThenSends();
    void receivingShowsParserOffMessage();
    void repetitionRunsUntilCancelledAndDeafensReceivers();
    void functionKeysTransmitAndReceive();
    void contextMenuOffersEditorEntriesUnlessTransmitting();
    void loadingTextFileFillsEmptyEditorOrOpensNewOne();
    void unreadableOrUnwritableFileIsReported();
    void openDialogStartsInWorkingFolder();
    void droppedTextFileIsLoaded();
    void payloadHoldsEditorTextOnly();
    void payloadIsReadBack_data();
    void payloadIsReadBack();
    void closingMarksModifiedAndEndsTransmission();

private:
    MidiEditView* makeEditor(const QString& text = QString(), MidiEditView::OpenMode mode = MidiEditView::SystemExclusiveEdit);
    void waitUntilIdle(MidiEditView* view);

    TulvarMidiModel* m_model = nullptr;
    FakeMainWindow* m_mainWindow = nullptr;
    QList<QPointer<MidiEditView>> m_views;
};

void tst_MidiEditEditor::init()
{
    m_model = new TulvarMidiModel;
    m_mainWindow = new FakeMainWindow;
}

void tst_MidiEditEditor::cleanup()
{
    m_mainWindow->openGate();
    for (const QPointer<MidiEditView>& view : qAsConst(m_views)) {
        delete view.data();
    }
    m_views.clear();
    delete m_mainWindow;
    delete m_model;
}

MidiEditView* tst_MidiEditEditor::makeEditor(const QString& text, MidiEditView::OpenMode mode)
{
    auto* view = new MidiEditView(nullptr, m_model, mode, text);
    view->resize(338, 274);
    view->show();
    m_views.append(view);
    return view;
}

void tst_MidiEditEditor::waitUntilIdle(MidiEditView* view)
{
    QTRY_VERIFY_WITH_TIMEOUT(!view->isTransmitting(), Timeout);
    QCOMPARE(m_model->getModelIntValue(MidiEditTransmissionStateParameterId), 0);
}

void tst_MidiEditEditor::toolbarHoldsTheEditorActions()
{
    MidiEditView* view = makeEditor();
    QToolBar* toolBar = view->generalView()->toolBar();
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

void tst_MidiEditEditor::smallTransmissionNeverShowsProgress()
{
    MidiEditView* view = makeEditor(sysExText(100));
    QSignalSpy pages(view->findChild<QStackedLayout*>(), &QStackedLayout::currentChanged);
    view->generalView()->transmitMenuSelected();
    QVERIFY(view->isTransmitting());
    waitUntilIdle(view);
    QCOMPARE(m_mainWindow->sentBytes(), 100);
    QCOMPARE(pages.count(), 0);
    QCOMPARE(view->currentView(), MidiEditView::General);
}

void tst_MidiEditEditor::largeTransmissionShowsProgressBar()
{
    MidiEditView* view = makeEditor(sysExText(300));
    m_mainWindow->closeGate();
    view->generalView()->transmitMenuSelected();
    QVERIFY(m_mainWindow->waitForArrivals(1));
    QTRY_COMPARE_WITH_TIMEOUT(view->currentView(), MidiEditView::Progress, Timeout);
    MidiEditProgressView* progress = view->progressView();
    QVERIFY(progress->progressBar() != nullptr);
    QCOMPARE(progress->progressBar()->minimum(), 0);
    QCOMPARE(progress->progressBar()->maximum(), 300);
    QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));
    QVERIFY(!view->generalView()->toolBar()->isEnabled());

    m_mainWindow->openGate();
    waitUntilIdle(view);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QVERIFY(progress->progressBar() == nullptr);
    QVERIFY(view->generalView()->toolBar()->isEnabled());
    QCOMPARE(m_mainWindow->sentBytes(), 300);
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
    const std::vector<QByteArray> sent = m_mainWindow->sent();
    QCOMPARE(int(sent.size()), 2);
    QCOMPARE(sent[0], QByteArray::fromHex("903C64"));
    QCOMPARE(sent[1], QByteArray::fromHex("C005"));
}

void tst_MidiEditEditor::cancelStopsAfterMessageInProgress()
{
    MidiEditView* view = makeEditor(noteOnsText(100));
    MidiEditTransmittionThread* worker = view->worker();
    // Messages wait at the gate; once the view has asked the worker to stop, they may go.
    m_mainWindow->closeGate([worker] { return !worker->isTransmittionRunning(); });
    view->generalView()->transmitMenuSelected();
    QVERIFY(m_mainWindow->waitForArrivals(1));
    QTRY_COMPARE_WITH_TIMEOUT(view->currentView(), MidiEditView::Progress, Timeout);

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    m_mainWindow->permit(1);
    waitUntilIdle(view);
    // The first message was sent and reported; the one in progress at the stop went out too.
    QCOMPARE(m_mainWindow->sentBytes(), 6);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(m_model->getModelIntValue(MidiEditRepeatModeParameterId), 0);
}

void tst_MidiEditEditor::failureShowsErrorThroughBothReports()
{
    MidiEditView* view = makeEditor(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
    QSignalSpy finished(view->worker(), &MidiEditTransmittionThread::finishTransmittion);
    m_mainWindow->setFailing(true);
    view->generalView()->transmitMenuSelected();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 2, Timeout);
    QCOMPARE(finished.at(0).at(0).toInt(), 2);
    QCOMPARE(finished.at(1).at(0).toInt(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!view->isTransmitting(), Timeout);
    QCoreApplication::processEvents();

    QCOMPARE(view->currentView(), MidiEditView::Progress);
    QCOMPARE(view->progressView()->state(), MidiEditProgressView::Error);
    QCOMPARE(view->progressView()->message(), QStringLiteral("Failed to transmit message."));
    QCOMPARE(view->progressView()->button()->text(), QStringLiteral("OK"));

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
}

void tst_MidiEditEditor::onlyOneEditorTransmitsAtATime()
{
    MidiEditView* first = makeEditor(QStringLiteral("90 3C 64"));
    MidiEditView* second = makeEditor(QStringLiteral("80 3C 00"));
    m_mainWindow->closeGate();
    first->generalView()->transmitMenuSelected();
    QVERIFY(m_mainWindow->waitForArrivals(1));
    QCOMPARE(m_model->getModelIntValue(MidiEditTransmissionStateParameterId), 1);
    QVERIFY(!second->generalView()->toolBar()->isEnabled());

    second->generalView()->transmitMenuSelected();
    second->transmitMessage(QStringLiteral("80 3C 00"));
    QVERIFY(!second->isTransmitting());
    // Nor does a second editor start receiving while a transmission runs.
    MidiEditView* empty = makeEditor();
    empty->generalView()->receiveMenuSelected();
    QVERIFY(!empty->isReceiving());

    m_mainWindow->openGate();
    waitUntilIdle(first);
    const std::vector<QByteArray> sent = m_mainWindow->sent();
    QCOMPARE(int(sent.size()), 1);
    QCOMPARE(sent[0], QByteArray::fromHex("903C64"));
    QVERIFY(second->generalView()->toolBar()->isEnabled());
}

void tst_MidiEditEditor::receiveInEmptyEditorCollectsBytes()
{
    MidiEditView* view = makeEditor();
    m_model->setParameterEditFlag(ParameterEditFlagUnchanged);
    view->generalView()->receiveMenuSelected();
    QVERIFY(view->isReceiving());
    QCOMPARE(view->currentView(), MidiEditView::Progress);
    QCOMPARE(view->progressView()->message(), QStringLiteral("0Bytes"));

    view->receivedMessage(QStringLiteral("\nF0 7E 7F 06 01 F7"), 6);
    QCOMPARE(view->progressView()->message(), QStringLiteral("6Bytes"));
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagUnchanged);
    view->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QCOMPARE(view->progressView()->message(), QStringLiteral("9Bytes"));

    QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
    QVERIFY(!view->isReceiving());
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("F0 7E 7F 06 01 F7\nF0 01 F7"));
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagChanged);

    // Not receiving any more: further text is ignored.
    view->receivedMessage(QStringLiteral("\nF0 02 F7"), 3);
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("F0 7E 7F 06 01 F7\nF0 01 F7"));

    MidiEditView* receiver = makeEditor(QString(), MidiEditView::SystemExclusiveReceive);
    receiver->receivedMessage(QStringLiteral("\nF8"), 1);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("1Byte"));
    QTest::keyClick(receiver->progressView(), Qt::Key_Return);
    QCOMPARE(receiver->currentView(), MidiEditView::General);
}

void tst_MidiEditEditor::receiveInEditorWithTextOpensReceivingWindow()
{
    MidiEditView* view = makeEditor(QStringLiteral("F0 F7"));
    view->generalView()->receiveMenuSelected();
    QVERIFY(!view->isReceiving());
    QCOMPARE(m_mainWindow->openedEditors.size(), 1);
    QVERIFY(m_mainWindow->openedEditors.first().receiving);
    QVERIFY(m_mainWindow->openedEditors.first().text.isEmpty());
}

void tst_MidiEditEditor::transmitAndReceiveOpensReceiverThenSends()
{
    MidiEditView* view = makeEditor(QStringLiteral("F0 7E 7F 06 01 F7"));
    view->generalView()->transmitAndReceiveMenuSelected();
    QCOMPARE(m_mainWindow->openedEditors.size(), 1);
    QVERIFY(m_mainWindow->openedEditors.first().receiving);
    waitUntilIdle(view);
    QCOMPARE(m_mainWindow->sentBytes(), 6);
}

void tst_MidiEditEditor::receivingShowsParserOffMessage()
{
    MidiEditView* view = makeEditor(QString(), MidiEditView::SystemExclusiveReceive);
    m_model->setModelIntValue(MessageParsedParameterId, 0);
    QCOMPARE(view->progressView()->message(),
             QStringLiteral("Message receive function is currently disabled.\nTurn On File > Preferences > Parser."));
    m_model->setModelIntValue(MessageParsedParameterId, 1);
    QCOMPARE(view->progressView()->message(), QStringLiteral("0Bytes"));
}

void tst_MidiEditEditor::repetitionRunsUntilCancelledAndDeafensReceivers()
{
    MidiEditView* view = makeEditor(QStringLiteral("FE"));
    MidiEditView* receiver = makeEditor(QString(), MidiEditView::SystemExclusiveReceive);
    RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
    settings->repeatCheckBox()->setChecked(true);
    settings->intervalSpinBox()->setValue(500);

    view->generalView()->transmitMenuSelected();
    QCOMPARE(m_model->getModelIntValue(MidiEditRepeatModeParameterId), 1);
    QCOMPARE(view->currentView(), MidiEditView::Repeat);
    QVERIFY(view->repeatWorker() != nullptr);
    QVERIFY(m_mainWindow->waitForArrivals(2));

    receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QVERIFY(receiver->generalView()->textView()->toPlainText().isEmpty());
    QCOMPARE(receiver->progressView()->message(),
             QStringLiteral("Unable to receive messages when repeating\nmessage transmission is in-process."));

    QTest::mouseClick(view->repeatView()->button(), Qt::LeftButton);
    QCOMPARE(view->currentView(), MidiEditView::General);
    QTRY_VERIFY_WITH_TIMEOUT(view->repeatWorker() == nullptr, Timeout);
    waitUntilIdle(view);
    QCOMPARE(m_model->getModelIntValue(MidiEditRepeatModeParameterId), 0);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("0Bytes"));
    receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QCOMPARE(receiver->progressView()->message(), QStringLiteral("3Bytes"));
}

void tst_MidiEditEditor::functionKeysTransmitAndReceive()
{
    MidiEditView* view = makeEditor(QStringLiteral("C0 05"));
    MidiEditTextView* text = view->generalView()->textView();
    QTest::keyClick(text, Qt::Key_F5);
    waitUntilIdle(view);
    QCOMPARE(m_mainWindow->sentBytes(), 2);

    QTest::keyClick(text, Qt::Key_F7);
    QCOMPARE(m_mainWindow->openedEditors.size(), 1);
    waitUntilIdle(view);
    QCOMPARE(m_mainWindow->sentBytes(), 4);

    text->clear();
    QTest::keyClick(text, Qt::Key_F6);
    QVERIFY(view->isReceiving());

    MidiEditView* other = makeEditor(QStringLiteral("F0 F7"));
    QTest::keyClick(other->generalView()->textView(), Qt::Key_R, Qt::ControlModifier);
    QVERIFY(other->generalView()->repeatSettingsView()->isVisible());
    QCOMPARE(other->generalView()->textView()->toPlainText(), QStringLiteral("F0 F7"));
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

    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 1);
    QVERIFY(contextMenuEntries(view->generalView()->textView()).isEmpty());
    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 0);
}

void tst_MidiEditEditor::loadingTextFileFillsEmptyEditorOrOpensNewOne()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("identity.txt"));
    writeFile(path, "F0 7E 7F 06 01 F7 // identity\n");

    MidiEditView* empty = makeEditor();
    empty->generalView()->loadTextFile(path);
    QCOMPARE(empty->generalView()->textView()->toPlainText(), QStringLiteral("F0 7E 7F 06 01 F7 // identity\n"));
    QCOMPARE(m_model->getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());

    MidiEditView* full = makeEditor(QStringLiteral("C0 05"));
    full->generalView()->loadTextFile(path);
    QCOMPARE(full->generalView()->textView()->toPlainText(), QStringLiteral("C0 05"));
    QCOMPARE(m_mainWindow->openedEditors.size(), 1);
    QVERIFY(!m_mainWindow->openedEditors.first().receiving);
    QCOMPARE(m_mainWindow->openedEditors.first().size, full->size());
    QCOMPARE(m_mainWindow->openedEditors.first().text, QStringLiteral("F0 7E 7F 06 01 F7 // identity\n"));

    const QString saved = folder.filePath(QStringLiteral("saved.txt"));
    QVERIFY(full->generalView()->saveTextFile(saved));
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("C0 05"));
    QVERIFY(m_mainWindow->errors.isEmpty());
}

void tst_MidiEditEditor::unreadableOrUnwritableFileIsReported()
{
    QTemporaryDir folder;
    MidiEditView* view = makeEditor();
    view->generalView()->loadTextFile(folder.filePath(QStringLiteral("missing.txt")));
    QCOMPARE(m_mainWindow->errors, QStringList({"File open failed."}));
    QVERIFY(view->generalView()->textView()->toPlainText().isEmpty());

    view->generalView()->setText(QStringLiteral("F0 F7"));
    QVERIFY(!view->generalView()->saveTextFile(folder.filePath(QStringLiteral("no/such/folder/x.txt"))));
    QCOMPARE(m_mainWindow->errors, QStringList({"File open failed.", "File save failed."}));
}

void tst_MidiEditEditor::openDialogStartsInWorkingFolder()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dump.txt"));
    writeFile(path, "F0 01 F7");
    m_model->setModelStringValue(DumpFileWorkingDirectoryParameterId, folder.path());
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
    QCOMPARE(m_mainWindow->keyboardClears, 1);
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("F0 01 F7"));
}

void tst_MidiEditEditor::droppedTextFileIsLoaded()
{
    QTemporaryDir folder;
    const QString text = folder.filePath(QStringLiteral("drop.txt"));
    const QString other = folder.filePath(QStringLiteral("song.mid"));
    writeFile(text, "90 3C 64");
    writeFile(other, "MThd");
    MidiEditView* view = makeEditor();
    MidiEditTextView* area = view->generalView()->textView();

    QVERIFY(!sendDrag(area, other));
    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 1);
    QVERIFY(!sendDrag(area, text));
    m_model->setModelIntValue(MidiEditTransmissionStateParameterId, 0);
    QVERIFY(area->toPlainText().isEmpty());

    QVERIFY(sendDrag(area, text));
    QCOMPARE(area->toPlainText(), QStringLiteral("90 3C 64"));
    QCOMPARE(m_model->getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());
}

void tst_MidiEditEditor::payloadHoldsEditorTextOnly()
{
    MidiEditView* editor = makeEditor(QStringLiteral("F0 7E // Grüße"));
    QByteArray payload;
    {
        QDataStream out(&payload, QIODevice::WriteOnly);
        QVERIFY(editor->getDataStream(out));
    }
    QDataStream in(payload);
    QString text;
    QVERIFY(FileStream::getStringParameterFromStream(in, 0, text));
    QCOMPARE(text, QStringLiteral("F0 7E // Grüße"));
    QVERIFY(in.atEnd());

    MidiEditView* restored = makeEditor(QStringLiteral("old"));
    QDataStream again(payload);
    QVERIFY(restored->setDataStream(again));
    QCOMPARE(restored->generalView()->textView()->toPlainText(), QStringLiteral("F0 7E // Grüße"));

    QByteArray emptyPayload;
    {
        QDataStream out(&emptyPayload, QIODevice::WriteOnly);
        QVERIFY(makeEditor()->getDataStream(out));
    }
    QCOMPARE(emptyPayload, QByteArray::fromHex("0000000000000000"));

    MidiEditView* receiver = makeEditor(QString(), MidiEditView::SystemExclusiveReceive);
    receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
    QByteArray receiving;
    {
        QDataStream out(&receiving, QIODevice::WriteOnly);
        QVERIFY(receiver->getDataStream(out));
    }
    QVERIFY(receiving.isEmpty());
}

void tst_MidiEditEditor::payloadIsReadBack_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("read");
    QTest::addColumn<QString>("text");
    const QByteArray text = QStringLiteral("F0 7E // Grüße").toUtf8();
    const QByteArray length = QByteArray::fromHex("000000") + char(text.size());
    QTest::newRow("text") << QByteArray(4, '\0') + length + text << true << QStringLiteral("F0 7E // Grüße");
    QTest::newRow("empty text") << QByteArray(8, '\0') << true << QString();
    QTest::newRow("nothing stored") << QByteArray() << true << QStringLiteral("old");
    QTest::newRow("wrong tag") << QByteArray::fromHex("00000001") + length + text << false << QStringLiteral("old");
    QTest::newRow("size beyond payload") << QByteArray(4, '\0') + QByteArray::fromHex("7FFFFFFF") + text << false
                                         << QStringLiteral("old");
    QTest::newRow("truncated text") << QByteArray(4, '\0') + length + text.left(5) << false << QStringLiteral("old");
    QTest::newRow("truncated size") << QByteArray(6, '\0') << false << QStringLiteral("old");
    QTest::newRow("negative size") << QByteArray(4, '\0') + QByteArray::fromHex("FFFFFFFF") << false
                                   << QStringLiteral("old");
}

void tst_MidiEditEditor::payloadIsReadBack()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, read);
    QFETCH(QString, text);
    MidiEditView* editor = makeEditor(QStringLiteral("old"));
    QDataStream in(payload);
    QCOMPARE(editor->setDataStream(in), read);
    QCOMPARE(editor->generalView()->textView()->toPlainText(), text);
}

void tst_MidiEditEditor::closingMarksModifiedAndEndsTransmission()
{
    MidiEditView* idle = makeEditor();
    m_model->setParameterEditFlag(ParameterEditFlagUnchanged);
    idle->close();
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagChanged);

    MidiEditView* view = makeEditor(noteOnsText(50));
    MidiEditTransmittionThread* worker = view->worker();
    m_mainWindow->closeGate([worker] { return !worker->isTransmittionRunning(); });
    view->generalView()->transmitMenuSelected();
    QVERIFY(m_mainWindow->waitForArrivals(1));
    view->close();
    QCOMPARE(m_model->getModelIntValue(MidiEditTransmissionStateParameterId), 0);
    QVERIFY(m_mainWindow->sentBytes() < 150);
}

QTEST_MAIN(tst_MidiEditEditor)
#include "tst_MidiEditEditor.moc"
