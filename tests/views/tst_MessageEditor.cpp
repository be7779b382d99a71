// The message editor: transmitting its text with progress, cancel and repetition, receiving, its
// keys and menus, and its files. The worker threads' own behaviour is tests/engine's.

#include "ViewFixture.h"
#include "testkit/Hex.h"

#include "engine/MidiEditTransmittionThread.h"
#include "persistence/SysExFile.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditRepeatMessageView.h"
#include "views/RepeatSettingsView.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

Q_DECLARE_METATYPE(MidiEditView::OpenMode)
Q_DECLARE_METATYPE(MidiEditView::View)

namespace {

constexpr int Timeout = 10000;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_MessageEditor : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ViewFixture>(); }
    void cleanup() { f.reset(); }

    void progressPageShowsOnlyAbove256Bytes_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<MidiEditView::View>("page");
        QTest::newRow("256 bytes") << 256 << MidiEditView::General;
        QTest::newRow("257 bytes") << 257 << MidiEditView::Progress;
    }
    void progressPageShowsOnlyAbove256Bytes()
    {
        QFETCH(int, size);
        QFETCH(MidiEditView::View, page);
        MidiEditView* view = makeEditor(QStringLiteral("F0") + QStringLiteral(" 01").repeated(size - 2) + " F7");
        f->mainWindow.transmitter.hold();
        view->generalView()->transmitMenuSelected();
        QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
        MidiEditProgressView* progress = view->progressView();
        QTRY_VERIFY_WITH_TIMEOUT(progress->progressBar() != nullptr, Timeout);
        QCOMPARE(view->currentView(), page);
        QCOMPARE(progress->progressBar()->maximum(), size);
        QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));

        f->mainWindow.transmitter.release();
        waitUntilIdle(view);
        QCOMPARE(view->currentView(), MidiEditView::General);
        QCOMPARE(f->mainWindow.transmitter.byteCount(), size);
    }

    void selectionIsTransmittedAlone()
    {
        MidiEditView* view = makeEditor(QStringLiteral("90 3C 64\nC0 05\nB0 07 64"));
        QTextCursor cursor = view->generalView()->textView()->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(14, QTextCursor::KeepAnchor);
        view->generalView()->textView()->setTextCursor(cursor);
        view->generalView()->transmitMenuSelected();
        waitUntilIdle(view);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 64", "C0 05"}));
    }

    void cancelOrCloseStopsAfterTheMessageInProgress_data()
    {
        QTest::addColumn<bool>("close");
        QTest::newRow("cancel") << false;
        QTest::newRow("close") << true;
    }
    void cancelOrCloseStopsAfterTheMessageInProgress()
    {
        QFETCH(bool, close);
        MidiEditView* view = makeEditor(QStringLiteral("90 3C 64\n").repeated(100));
        MidiEditTransmittionThread* worker = view->worker();
        // Messages wait at the gate; once the view has asked the worker to stop, they may go.
        f->mainWindow.transmitter.hold([worker] { return !worker->isTransmittionRunning(); });
        view->generalView()->transmitMenuSelected();
        QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
        QTRY_COMPARE_WITH_TIMEOUT(view->currentView(), MidiEditView::Progress, Timeout);
        if (close) {
            view->close();
        } else {
            QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
            QCOMPARE(view->currentView(), MidiEditView::General);
        }
        f->mainWindow.transmitter.permit(1);
        waitUntilIdle(view);
        // At most the message in progress at the stop and the one the gate let through went out.
        QVERIFY(f->mainWindow.transmitter.byteCount() <= 6);
    }

    void failureIsShownUntilAcknowledged()
    {
        MidiEditView* view = makeEditor(QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
        f->mainWindow.transmitter.failFrom(0);
        view->generalView()->transmitMenuSelected();
        QTRY_COMPARE_WITH_TIMEOUT(view->progressView()->state(), MidiEditProgressView::Error, Timeout);
        QTRY_VERIFY_WITH_TIMEOUT(!view->isTransmitting(), Timeout);
        QCoreApplication::processEvents();
        QCOMPARE(view->currentView(), MidiEditView::Progress);
        QCOMPARE(view->progressView()->message(), QStringLiteral("Failed to transmit message."));
        QCOMPARE(view->progressView()->button()->text(), QStringLiteral("OK"));
        QTest::mouseClick(view->progressView()->button(), Qt::LeftButton);
        QCOMPARE(view->currentView(), MidiEditView::General);
        QCOMPARE(textOf(view), QStringLiteral("F0 7E 7F 06 01 F7 // identity"));
    }

    void onlyOneEditorTransmitsAtATime()
    {
        MidiEditView* first = makeEditor(QStringLiteral("90 3C 64"));
        MidiEditView* second = makeEditor(QStringLiteral("80 3C 00"));
        f->mainWindow.transmitter.hold();
        first->generalView()->transmitMenuSelected();
        QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
        QVERIFY(!second->generalView()->toolBar()->isEnabled());
        second->transmitMessage(QStringLiteral("80 3C 00"));
        QVERIFY(!second->isTransmitting());
        // Nor does an editor start receiving while a transmission runs.
        MidiEditView* empty = makeEditor();
        empty->generalView()->receiveMenuSelected();
        QVERIFY(!empty->isReceiving());
        f->mainWindow.transmitter.release();
        waitUntilIdle(first);
        QCOMPARE(f->takeSent(), QStringList{"90 3C 64"});
        QVERIFY(second->generalView()->toolBar()->isEnabled());
    }

    void receivingCountsBytesAndKeepsThemWhenStopped()
    {
        MidiEditView* view = makeEditor();
        f->clearEdited();
        view->generalView()->receiveMenuSelected();
        QCOMPARE(view->currentView(), MidiEditView::Progress);
        QCOMPARE(view->progressView()->message(), QStringLiteral("0Bytes"));
        view->receivedMessage(QStringLiteral("\nF8"), 1);
        QCOMPARE(view->progressView()->message(), QStringLiteral("1Byte"));
        view->receivedMessage(QStringLiteral("\nF0 7E 7F 06 01 F7"), 6);
        QCOMPARE(view->progressView()->message(), QStringLiteral("7Bytes"));
        QVERIFY(!f->edited());

        QTest::keyClick(view->progressView(), Qt::Key_Return);
        QVERIFY(!view->isReceiving());
        QCOMPARE(textOf(view), QStringLiteral("F8\nF0 7E 7F 06 01 F7"));
        QVERIFY(f->edited());
        view->receivedMessage(QStringLiteral("\nF0 02 F7"), 3);
        QCOMPARE(textOf(view), QStringLiteral("F8\nF0 7E 7F 06 01 F7"));
    }

    void repetitionRunsUntilCancelledAndDeafensReceivers()
    {
        MidiEditView* view = makeEditor(QStringLiteral("FE"));
        MidiEditView* receiver = f->make(MidiEditView::SystemExclusiveReceive);
        RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
        settings->repeatCheckBox()->setChecked(true);
        settings->intervalSpinBox()->setValue(500);
        view->generalView()->transmitMenuSelected();
        QCOMPARE(view->currentView(), MidiEditView::Repeat);
        QVERIFY(f->mainWindow.transmitter.waitForMessages(2));

        receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QVERIFY(textOf(receiver).isEmpty());
        QCOMPARE(receiver->progressView()->message(),
                 QStringLiteral("Unable to receive messages when repeating\nmessage transmission is in-process."));

        QTest::mouseClick(view->repeatView()->button(), Qt::LeftButton);
        QCOMPARE(view->currentView(), MidiEditView::General);
        QTRY_VERIFY_WITH_TIMEOUT(view->repeatWorker() == nullptr, Timeout);
        waitUntilIdle(view);
        receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QCOMPARE(receiver->progressView()->message(), QStringLiteral("3Bytes"));
    }

    void keysTransmitReceiveAndShowTheRepeatSettings()
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
        QVERIFY(f->mainWindow.openedEditors.last().receiving);
        waitUntilIdle(view);
        QCOMPARE(f->mainWindow.transmitter.byteCount(), 4);

        // Ctrl+R shows the repeat settings; their close button gives the focus back to the text.
        QApplication::setActiveWindow(view);
        QTest::keyClick(text, Qt::Key_R, Qt::ControlModifier);
        RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
        QVERIFY(settings->isVisible());
        settings->intervalSpinBox()->setFocus();
        QTest::mouseClick(settings->findChild<QToolButton*>(), Qt::LeftButton);
        QVERIFY(!settings->isVisible());
        QTRY_VERIFY(text->hasFocus());
        QCOMPARE(textOf(view), QStringLiteral("C0 05"));
    }

    void contextMenuOffersEditorEntriesUnlessTransmitting()
    {
        MidiEditView* view = makeEditor(QStringLiteral("90 3C 64"));
        QVERIFY(QTest::qWaitForWindowExposed(view));
        const QStringList entries = contextMenuEntries(view->generalView()->textView());
        const QStringList tail = {"-", "&New", "&Open...", "&Save...", "-", "&Transmit\tF5", "&Receive\tF6",
                                  "&Transmit and Receive\tF7", "-", "&Find...\tCtrl+F", "-",
                                  "R&epeat Transmission Settings...\tCtrl+R"};
        QCOMPARE(entries.mid(entries.size() - tail.size()), tail);
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 1);
        QVERIFY(contextMenuEntries(view->generalView()->textView()).isEmpty());
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
    }

    void filesOpenHereOrInANewEditor_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: no file; "huge": one byte too many
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("opened"); // the text this editor or a new one shows
        QTest::addColumn<QString>("error");
        const QString identity = QStringLiteral("F0 7E 7F 06 01 F7 // identity\n");
        QTest::newRow("text") << "a.txt" << identity.toLatin1() << "" << identity << "";
        QTest::newRow("text, editor not empty") << "a.txt" << identity.toLatin1() << "C0 05" << identity << "";
        QTest::newRow("dump, a message a line") << "patch.syx" << hex("F0 43 7E 00 01 F7 B0 07 7F F0 01 F7") << ""
                                                << "F0 43 7E 00 01 F7\nB0 07 7F\nF0 01 F7\n" << "";
        QTest::newRow("missing") << "a.txt" << QByteArray() << "" << "" << "File open failed.";
        QTest::newRow("dump too large") << "huge.syx" << QByteArray("huge") << ""
                                        << "" << "The file is larger than 16 MiB and was not opened.";
    }
    void filesOpenHereOrInANewEditor()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, before);
        QFETCH(QString, opened);
        QFETCH(QString, error);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        QFile file(path);
        if (bytes == "huge") {
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(SysExFile::MaximumSize + 1));
            file.close();
        } else if (!bytes.isNull()) {
            QVERIFY(writeAll(path, bytes));
        }
        MidiEditView* view = makeEditor(before);
        view->generalView()->loadTextFile(path);
        QCOMPARE(f->mainWindow.errors, error.isEmpty() ? QStringList() : QStringList{error});
        if (before.isEmpty()) {
            QCOMPARE(textOf(view), opened);
            QVERIFY(f->mainWindow.openedEditors.isEmpty());
        } else {
            QCOMPARE(textOf(view), before);
            QCOMPARE(f->mainWindow.openedEditors.size(), 1);
            QCOMPARE(f->mainWindow.openedEditors.first().text, opened);
        }
        QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());
    }

    void filesAreSavedAsTextOrBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written"); // "old": the file was left alone
        QTest::addColumn<QString>("error");
        QTest::newRow("text") << "a.txt" << "C0 05 // volume" << QByteArray("C0 05 // volume") << "";
        QTest::newRow("dump") << "a.syx" << "f0 7e 7f // identity\n06,01 F7" << hex("F07E7F0601F7") << "";
        QTest::newRow("dump with a bad digit") << "a.syx" << "F0 01\nF0 0G F7" << QByteArray("old")
                                               << "File save failed.\nLine 2, column 5: \"G\" is not a hexadecimal digit.";
        QTest::newRow("no such folder") << "no/a.txt" << "C0 05" << QByteArray() << "File save failed.";
    }
    void filesAreSavedAsTextOrBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QFETCH(QString, error);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        writeAll(path, "old");
        MidiEditView* view = makeEditor(text);
        QCOMPARE(view->generalView()->saveTextFile(path), error.isEmpty());
        QCOMPARE(readAll(path), written);
        QCOMPARE(f->mainWindow.errors, error.isEmpty() ? QStringList() : QStringList{error});
    }

    void droppedFilesOpenUnlessOfAnotherKindOrTransmitting()
    {
        QTemporaryDir folder;
        const QString text = folder.filePath(QStringLiteral("a.txt"));
        const QString dump = folder.filePath(QStringLiteral("b.SYX"));
        const QString other = folder.filePath(QStringLiteral("song.mid"));
        QVERIFY(writeAll(text, "C0 05") && writeAll(dump, hex("F00102F7")) && writeAll(other, "MThd"));
        MidiEditTextView* area = makeEditor()->generalView()->textView();
        QVERIFY(!sendDrag(area, other));
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 1);
        QVERIFY(!sendDrag(area, text));
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
        QVERIFY(area->toPlainText().isEmpty());
        QVERIFY(sendDrag(area, dump));
        QCOMPARE(area->toPlainText(), QStringLiteral("F0 01 02 F7\n"));
        QVERIFY(sendDrag(area, text));
        QCOMPARE(f->mainWindow.openedEditors.value(0).text, QStringLiteral("C0 05"));
    }

    void openDialogStartsInTheWorkingFolderWithBothFileKinds()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dump.syx"));
        QVERIFY(writeAll(path, hex("F07FF7")));
        f->model.setModelStringValue(DumpFileWorkingDirectoryParameterId, folder.path());
        MidiEditView* view = makeEditor();
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr);
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            seen << dialog->windowTitle() << dialog->directory().absolutePath() << dialog->nameFilters();
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        view->generalView()->openMenuSelected();
        QCOMPARE(seen, (QStringList{"Open", QDir(folder.path()).absolutePath(), "Text Files (*.txt)",
                                    "System Exclusive Files (*.syx)"}));
        QCOMPARE(f->mainWindow.keyboardClears, 1);
        QCOMPARE(textOf(view), QStringLiteral("F0 7F F7\n"));
    }

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

    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_MessageEditor)
#include "tst_MessageEditor.moc"
