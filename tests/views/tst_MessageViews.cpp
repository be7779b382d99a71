// The message editor, the In and Out monitors, the syntax colouring and the find bar. The worker
// threads are tests/engine's, the file formats tests/persistence's.

#include "ViewFixture.h"

#include "engine/MidiEditTransmittionThread.h"
#include "persistence/SysExFile.h"
#include "testkit/FileBytes.h"
#include "testkit/Hex.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditRepeatMessageView.h"
#include "views/ReferenceWidget.h"
#include "views/RepeatSettingsView.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

Q_DECLARE_METATYPE(MidiEditView::OpenMode)

namespace {

constexpr int Timeout = 10000;

// Monitor lines numbered from `first`, each starting with its line feed.
QString monitorLines(int first, int count)
{
    QString text;
    for (int i = first; i < first + count; ++i) {
        text += QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3] #%1").arg(i);
    }
    return text;
}

const QColor NoColor;

// The foreground colour the highlighter gave one character, or an invalid colour.
QColor colorAt(const QTextDocument& document, int line, int column)
{
    const QTextBlock block = document.findBlockByNumber(line);
    const QVector<QTextLayout::FormatRange> ranges = block.layout()->formats();
    for (const QTextLayout::FormatRange& range : ranges) {
        if (column >= range.start && column < range.start + range.length
            && range.format.hasProperty(QTextFormat::ForegroundBrush)) {
            return range.format.foreground().color();
        }
    }
    return NoColor;
}

} // namespace

class tst_MessageViews : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ViewFixture>(); }
    void cleanup() { f.reset(); }

    void progressPageShowsOnlyAbove256BytesAndCancelStopsAfterTheMessageInProgress_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("256 bytes") << 256;
        QTest::newRow("257 bytes, cancelled") << 257;
    }
    void progressPageShowsOnlyAbove256BytesAndCancelStopsAfterTheMessageInProgress()
    {
        QFETCH(int, size);
        const bool cancel = size > 256;
        MidiEditView* view = makeEditor("C0 05\nF0" + QStringLiteral(" 01").repeated(size - 6) + " F7\nC0 06");
        MidiEditTransmittionThread* worker = view->worker();
        // Messages wait at the gate; once the view has asked the worker to stop, they may go.
        f->mainWindow.transmitter.hold([worker] { return !worker->isTransmittionRunning(); });
        view->generalView()->transmitMenuSelected();
        QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
        MidiEditProgressView* progress = view->progressView();
        QTRY_VERIFY_WITH_TIMEOUT(progress->progressBar() != nullptr, Timeout);
        QCOMPARE(view->currentView(), cancel ? MidiEditView::Progress : MidiEditView::General);
        QCOMPARE(progress->progressBar()->maximum(), size);
        QCOMPARE(progress->button()->text(), QStringLiteral("Cancel"));
        if (cancel) {
            QTest::mouseClick(progress->button(), Qt::LeftButton);
            QCOMPARE(view->currentView(), MidiEditView::General);
            f->mainWindow.transmitter.permit(1);
        } else {
            f->mainWindow.transmitter.release();
        }
        waitUntilIdle(view);
        QCOMPARE(view->currentView(), MidiEditView::General);
        // Cancelled, the first message and the one in progress at the stop went out, not the last.
        QCOMPARE(f->mainWindow.transmitter.sentBytes().join().size(), cancel ? size - 2 : size);
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

    void whileOneEditorTransmitsNoOtherSendsOrReceivesUntilItCloses()
    {
        MidiEditView* first = makeEditor(QStringLiteral("90 3C 64\n").repeated(50));
        MidiEditView* second = makeEditor();
        MidiEditTransmittionThread* worker = first->worker();
        f->mainWindow.transmitter.hold([worker] { return !worker->isTransmittionRunning(); });
        first->generalView()->transmitMenuSelected();
        QVERIFY(f->mainWindow.transmitter.waitForHeldSender());
        QVERIFY(!second->generalView()->toolBar()->isEnabled());
        second->transmitMessage(QStringLiteral("80 3C 00"));
        second->generalView()->receiveMenuSelected(); // F6 still reaches it
        QVERIFY(!second->isTransmitting() && !second->isReceiving());
        // Closed, the editor stops after the message in progress and frees the others at once.
        first->close();
        QCOMPARE(f->takeSent(), QStringList{"90 3C 64"});
        QCOMPARE(f->model.getModelIntValue(MidiEditTransmissionStateParameterId), 0);
        QVERIFY(second->generalView()->toolBar()->isEnabled());
    }

    void receivingCountsBytesIsDeafWhileAnotherRepeatsAndKeepsThemWhenStopped()
    {
        MidiEditView* view = makeEditor(QStringLiteral("FE"));
        MidiEditView* receiver = makeEditor();
        f->clearEdited();
        receiver->generalView()->receiveMenuSelected();
        QCOMPARE(receiver->currentView(), MidiEditView::Progress);
        QCOMPARE(receiver->progressView()->message(), QStringLiteral("0Bytes"));
        receiver->receivedMessage(QStringLiteral("\nF8"), 1);
        QCOMPARE(receiver->progressView()->message(), QStringLiteral("1Byte"));
        QVERIFY(!f->edited());

        RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
        settings->repeatCheckBox()->setChecked(true);
        settings->intervalSpinBox()->setValue(500);
        view->generalView()->transmitMenuSelected();
        QCOMPARE(view->currentView(), MidiEditView::Repeat);
        QVERIFY(f->mainWindow.transmitter.waitForMessages(2));
        receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QCOMPARE(receiver->progressView()->message(),
                 QStringLiteral("Unable to receive messages when repeating\nmessage transmission is in-process."));
        QTest::mouseClick(view->repeatView()->button(), Qt::LeftButton);
        QCOMPARE(view->currentView(), MidiEditView::General);
        QTRY_VERIFY_WITH_TIMEOUT(view->repeatWorker() == nullptr, Timeout);
        waitUntilIdle(view);
        receiver->receivedMessage(QStringLiteral("\nF0 7E 7F 06 01 F7"), 6);
        QCOMPARE(receiver->progressView()->message(), QStringLiteral("7Bytes"));

        f->clearEdited();
        QTest::keyClick(receiver->progressView(), Qt::Key_Return);
        QVERIFY(!receiver->isReceiving());
        QCOMPARE(textOf(receiver), QStringLiteral("F8\nF0 7E 7F 06 01 F7"));
        QVERIFY(f->edited());
    }

    void keysTransmitTheSelectionOrAllReceiveAndShowTheRepeatSettings()
    {
        const QString lines = QStringLiteral("90 3C 64\nC0 05\nB0 07 64");
        MidiEditView* view = makeEditor(lines);
        MidiEditTextView* text = view->generalView()->textView();
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(0);
        cursor.setPosition(14, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
        QTest::keyClick(text, Qt::Key_F5);
        waitUntilIdle(view);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 64", "C0 05"}));
        text->moveCursor(QTextCursor::End);
        // Receive in an editor with text opens a receiving window instead.
        QTest::keyClick(text, Qt::Key_F6);
        QVERIFY(!view->isReceiving());
        QCOMPARE(f->mainWindow.openedEditors.size(), 1);
        // Transmit and receive: a receiving window first, then the text goes out.
        QTest::keyClick(text, Qt::Key_F7);
        QCOMPARE(f->mainWindow.openedEditors.size(), 2);
        QVERIFY(f->mainWindow.openedEditors.last().receiving);
        waitUntilIdle(view);
        QCOMPARE(f->takeSent(), (QStringList{"90 3C 64", "C0 05", "B0 07 64"}));

        // Ctrl+R shows the repeat settings; their close button gives the focus back to the text.
        QApplication::setActiveWindow(view);
        QTest::keyClick(text, Qt::Key_R, Qt::ControlModifier);
        RepeatSettingsView* settings = view->generalView()->repeatSettingsView();
        QVERIFY(settings->isVisible());
        settings->intervalSpinBox()->setFocus();
        QTest::mouseClick(settings->findChild<QToolButton*>(), Qt::LeftButton);
        QVERIFY(!settings->isVisible());
        QTRY_VERIFY(text->hasFocus());
    }

    void filesAreSavedAsTextOrBytes_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written"); // "old": left alone; "<unreadable>": none made
        QTest::addColumn<QString>("error");
        QTest::newRow("text") << "a.txt" << "C0 05 // volume" << QByteArray("C0 05 // volume") << "";
        QTest::newRow("dump") << "a.syx" << "f0 7e 7f // identity\n06,01 F7" << hex("F07E7F0601F7") << "";
        QTest::newRow("dump with a bad digit") << "a.syx" << "F0 01\nF0 0G F7" << QByteArray("old")
                                               << "File save failed.\nLine 2, column 5: \"G\" is not a hexadecimal digit.";
        QTest::newRow("no such folder") << "no/a.txt" << "C0 05" << QByteArray("<unreadable>") << "File save failed.";
    }
    void filesAreSavedAsTextOrBytes()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QFETCH(QString, error);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        writeFileBytes(path, "old");
        MidiEditView* view = makeEditor(text);
        QCOMPARE(view->generalView()->saveTextFile(path), error.isEmpty());
        QCOMPARE(readFileBytes(path), written);
        QCOMPARE(f->mainWindow.errors, error.isEmpty() ? QStringList() : QStringList{error});
    }

    void filesComeByDropOrTheOpenDialogAndTheMenuServesTheEditorUnlessTransmitting()
    {
        QTemporaryDir folder;
        const QString text = folder.filePath(QStringLiteral("a.txt"));
        const QString dump = folder.filePath(QStringLiteral("b.SYX"));
        const QString other = folder.filePath(QStringLiteral("song.mid"));
        QVERIFY(writeFileBytes(text, "C0 05") && writeFileBytes(dump, hex("F00102F7")) && writeFileBytes(other, "MThd"));
        MidiEditView* view = makeEditor();
        MidiEditTextView* area = view->generalView()->textView();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        const QStringList entries = contextMenuEntries(area);
        QVERIFY(entries.contains("&Transmit\tF5") && entries.endsWith("R&epeat Transmission Settings...\tCtrl+R"));
        QVERIFY(!sendDrag(area, other));
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 1);
        QVERIFY(contextMenuEntries(area).isEmpty());
        QVERIFY(!sendDrag(area, text));
        f->model.setModelIntValue(MidiEditTransmissionStateParameterId, 0);
        QVERIFY(area->toPlainText().isEmpty());
        QVERIFY(sendDrag(area, dump));
        QCOMPARE(area->toPlainText(), QStringLiteral("F0 01 02 F7\n"));
        QVERIFY(sendDrag(area, text));
        QCOMPARE(f->mainWindow.openedEditors.value(0).text, QStringLiteral("C0 05"));
        const QString huge = folder.filePath(QStringLiteral("huge.syx"));
        QVERIFY(writeFileBytes(huge, "") && QFile::resize(huge, SysExFile::MaximumSize + 1));
        view->generalView()->loadTextFile(huge);
        view->generalView()->loadTextFile(folder.filePath(QStringLiteral("missing.txt")));
        QCOMPARE(f->mainWindow.errors,
                 (QStringList{"The file is larger than 16 MiB and was not opened.", "File open failed."}));
        QCOMPARE(f->mainWindow.openedEditors.size(), 1);

        // The open dialog starts in the folder files last came from and offers both kinds.
        const int keyboardClears = f->mainWindow.keyboardClears;
        QStringList seen;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr);
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            seen << dialog->windowTitle() << dialog->directory().absolutePath() << dialog->nameFilters();
            dialog->selectFile(dump);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        view->generalView()->openMenuSelected();
        QCOMPARE(seen, (QStringList{"Open", QDir(folder.path()).absolutePath(), "Text Files (*.txt)",
                                    "System Exclusive Files (*.syx)"}));
        QCOMPARE(f->mainWindow.keyboardClears, keyboardClears + 1);
        QCOMPARE(f->mainWindow.openedEditors.value(1).text, QStringLiteral("F0 01 02 F7\n"));
    }

    void openModesSetIdentityListsAndFirstPage_data()
    {
        QTest::addColumn<MidiEditView::OpenMode>("mode");
        QTest::addColumn<int>("windowId");
        QTest::addColumn<bool>("receiving");
        QTest::newRow("In monitor") << MidiEditView::InMonitor << 1 << true;
        QTest::newRow("Out monitor") << MidiEditView::OutMonitor << 2 << false;
        QTest::newRow("editor") << MidiEditView::SystemExclusiveEdit << 3 << false;
        QTest::newRow("receiving editor") << MidiEditView::SystemExclusiveReceive << 3 << true;
    }
    void openModesSetIdentityListsAndFirstPage()
    {
        QFETCH(MidiEditView::OpenMode, mode);
        QFETCH(int, windowId);
        QFETCH(bool, receiving);
        const bool editor = windowId == 3;
        MidiEditView* view = f->make(mode);
        QCOMPARE(int(view->getWindowId()), windowId);
        QCOMPARE(view->isReceiving(), receiving);
        QCOMPARE(view->currentView(), editor && receiving ? MidiEditView::Progress : MidiEditView::General);
        QCOMPARE(f->mainWindow.outMonitorViews.contains(view), windowId == 2);
        QCOMPARE(f->mainWindow.receivingViews.contains(view), windowId != 2);
        // Editors have the toolbar, mark the project modified and keep every line.
        QCOMPARE(view->generalView()->toolBar() != nullptr, editor);
        QCOMPARE(f->edited(), editor);
        QCOMPARE(view->generalView()->textView()->maximumBlockCount(), editor ? 0 : 1024);
        QCOMPARE(view->generalView()->textView()->isReadOnly(), !editor);
        // Only an editor reads its text from a project; only one opened to edit saves it.
        QVERIFY(ViewFixture::read(*view, hex("00000000 00000005") + "F0 7E"));
        QCOMPARE(textOf(view), editor ? "F0 7E" : "");
        view->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QCOMPARE(ViewFixture::write(*view).isEmpty(), windowId != 3 || receiving);
        delete view;
        QVERIFY(f->mainWindow.receivingViews.isEmpty());
        QVERIFY(f->mainWindow.outMonitorViews.isEmpty());
    }

    void monitorsAppendLinesKeepTheNewest1024ClearOnShiftDAndFollowOnlyNearTheEnd()
    {
        MidiEditView* out = f->make(MidiEditView::OutMonitor);
        out->receivedMessage(QStringLiteral("\nnot for an Out monitor"), 1);
        out->setText(QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3]  "));
        out->setText(QStringLiteral("\nPort2 CC       B0 07 64 [007 Volume]"));
        QCOMPARE(textOf(out), QStringLiteral("Port1 NoteOn   90 3C 64 [C3]\nPort2 CC       B0 07 64 [007 Volume]"));
        MidiEditView* in = f->make(MidiEditView::InMonitor, QString(), true);
        in->receivedMessage(QStringLiteral("\nPort1 SysEx    F0 7E 7F 06 01 F7"), 1);
        in->receivedMessage(QStringLiteral("\nignored"), 0);
        QCOMPARE(textOf(in), QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7"));
        QVERIFY(!f->edited());
        QTextDocument* document = in->generalView()->textView()->document();
        in->receivedMessage(monitorLines(0, 1000), 1000);
        // A batch larger than the limit on its own.
        in->receivedMessage(monitorLines(2000, 3000), 3000);
        QCOMPARE(document->blockCount(), 1024);
        QVERIFY(document->lastBlock().text().endsWith(QStringLiteral("#4999")));
        QVERIFY(document->firstBlock().text().endsWith(QStringLiteral("#3976")));

        // Shift+D clears a monitor but types in an editor.
        MidiEditView* editor = f->make(MidiEditView::SystemExclusiveEdit, QStringLiteral("F0 "), true);
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        QCOMPARE(contextMenuEntries(in->generalView()->textView()).last(), QStringLiteral("&Clear\tShift+D"));
        for (MidiEditView* view : {in, editor}) {
            MidiEditTextView* text = view->generalView()->textView();
            QApplication::setActiveWindow(view);
            text->setFocus();
            QTRY_VERIFY(text->hasFocus());
            text->moveCursor(QTextCursor::End);
            QTest::keyClick(text, 'D', Qt::ShiftModifier);
        }
        QVERIFY(textOf(in).isEmpty());
        QCOMPARE(textOf(editor), QStringLiteral("F0 D"));

        // Emptied, the monitor follows new lines; three steps up it still does, four steps up it stays.
        QVERIFY(QTest::qWaitForWindowExposed(in));
        QScrollBar* bar = in->generalView()->textView()->verticalScrollBar();
        in->receivedMessage(monitorLines(0, 100), 100);
        QCOMPARE(bar->value(), bar->maximum());
        for (int stepsFromEnd : {3, 4}) {
            bar->setValue(bar->maximum() - stepsFromEnd);
            const int position = bar->value();
            in->receivedMessage(monitorLines(100, 10), 10);
            QVERIFY(bar->maximum() > position + stepsFromEnd);
            QCOMPARE(bar->value(), stepsFromEnd == 3 ? bar->maximum() : position);
        }
    }

    void parserSwitchWaitsForTheNextLine()
    {
        f->model.setModelIntValue(MessageColorParameterId, 0);
        MidiEditView* in = f->make(MidiEditView::InMonitor);
        QTextDocument& document = *in->generalView()->textView()->document();
        QCoreApplication::processEvents(); // the highlighter's first pass
        in->receivedMessage(QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3]\nPort1 CC       B0 07 64 [007 Volume]"), 2);
        f->model.setModelIntValue(MessageColorParameterId, 1);
        QCOMPARE(colorAt(document, 1, 15), QColor(255, 255, 66));
        // Parser off: the status byte rules colour new lines; the lines shown keep their colours.
        f->model.setModelIntValue(MessageParsedParameterId, 0);
        in->receivedMessage(QStringLiteral("\nPort1 -------- 90 3E 40"), 1);
        QCOMPARE(colorAt(document, 1, 18), QColor(255, 255, 66));
        QCOMPARE(colorAt(document, 2, 15), QColor(172, 172, 255));
        QCOMPARE(colorAt(document, 2, 18), NoColor);
    }

    void rulesColourTheirMatches_data()
    {
        QTest::addColumn<MidiEditView::OpenMode>("mode");
        QTest::addColumn<bool>("parsed");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("color");
        const auto in = MidiEditView::InMonitor;
        QTest::newRow("data byte above 7F is no message") << in << true << "90 80 64" << 0 << NoColor;
        QTest::newRow("every match on a line") << in << true << "90 3C 64 -- 90 3E 40" << 18 << QColor(172, 172, 255);
        QTest::newRow("time stamp stays plain") << in << true << "000003723004 Port1 NoteOn   90 3C 64" << 2 << NoColor;

        // A monitor opened with the parser off colours status bytes only.
        const QString raw = QStringLiteral("Port1 -------- 90 3C 64 80 3C 00");
        const auto out = MidiEditView::OutMonitor;
        QTest::newRow("raw note on status") << out << false << raw << 15 << QColor(172, 172, 255);
        QTest::newRow("raw data byte stays plain") << out << false << raw << 18 << NoColor;

        // Editors colour F0, F7 and comments, whatever the parser.
        const QString dump = QStringLiteral("F0 7E 7F 06 01 f7 // identity F0");
        const auto editor = MidiEditView::SystemExclusiveEdit;
        QTest::newRow("F0") << editor << false << dump << 0 << QColor(0, 0, 255);
        QTest::newRow("F0 inside a comment") << editor << false << dump << 30 << QColor(0, 128, 0);
    }
    void rulesColourTheirMatches()
    {
        QFETCH(MidiEditView::OpenMode, mode);
        QFETCH(bool, parsed);
        QFETCH(QString, line);
        QFETCH(int, column);
        f->model.setModelIntValue(MessageColorParameterId, 0);
        f->model.setModelIntValue(MessageParsedParameterId, parsed ? 1 : 0);
        QTextDocument& document = *f->make(mode)->generalView()->textView()->document();
        QCoreApplication::processEvents();
        document.setPlainText(line);
        QCOMPARE(colorAt(document, 0, column), NoColor);
        // The colour switch recolours the lines shown at once.
        f->model.setModelIntValue(MessageColorParameterId, 1);
        QTEST(colorAt(document, 0, column), "color");
        f->model.setModelIntValue(MessageColorParameterId, 0);
        QCOMPARE(colorAt(document, 0, column), NoColor);
    }

    void findBarSearchesBothWaysByKeysWrapsAndAMissTakesNothing()
    {
        // "f0" on the third line shows the search ignores case.
        MidiEditView* view = makeEditor(QStringLiteral("F0 41 10\n\nf0 42 F7\nF0 43"));
        MidiEditTextView* text = view->generalView()->textView();
        ReferenceWidget* bar = view->generalView()->referenceWidget();
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QApplication::setActiveWindow(view);
        text->setFocus();
        // From the start of the third line, across the empty line, the match on the first line.
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(10);
        text->setTextCursor(cursor);
        QVERIFY(bar->search(QStringLiteral("10"), true));
        QVERIFY(!bar->search(QStringLiteral("55"), false));
        QVERIFY(!bar->search(QString(), false));
        QCOMPARE(text->textCursor().selectionStart(), 6);
        text->moveCursor(QTextCursor::Start);

        QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier);
        QLineEdit* field = bar->searchField();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, QStringLiteral("f0"));
        // Ctrl+G, Return and Enter find the next match, Ctrl+Shift+G the one before; both wrap.
        const QList<QPair<Qt::Key, Qt::KeyboardModifiers>> keys{
            {Qt::Key_G, Qt::ControlModifier}, {Qt::Key_Return, Qt::NoModifier}, {Qt::Key_Enter, Qt::KeypadModifier},
            {Qt::Key_G, Qt::ControlModifier}, {Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier},
            {Qt::Key_G, Qt::ControlModifier | Qt::ShiftModifier}};
        QList<int> starts;
        for (const auto& key : keys) {
            QTest::keyClick(field, key.first, key.second);
            starts << text->textCursor().selectionStart();
        }
        QCOMPARE(starts, (QList<int>{0, 10, 19, 0, 19, 10}));

        QTest::keyClick(field, Qt::Key_Escape);
        QVERIFY(!bar->isVisible());
        QTRY_VERIFY(text->hasFocus());
        // Ctrl+G from the text area shows the bar again and goes on searching.
        QTest::keyClick(text, Qt::Key_G, Qt::ControlModifier);
        QVERIFY(bar->isVisible());
        QCOMPARE(text->textCursor().selectionStart(), 19);
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

QTEST_MAIN(tst_MessageViews)
#include "tst_MessageViews.moc"
