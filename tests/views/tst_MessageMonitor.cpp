// The In and Out monitors, and what the open mode of a message view decides.

#include "ViewFixture.h"

#include "views/MidiEditProgressView.h"
#include "views/TextHighlighter.h"

#include <QScrollBar>
#include <QToolBar>
#include <QtTest>

Q_DECLARE_METATYPE(MidiEditView::OpenMode)
Q_DECLARE_METATYPE(MidiEditView::View)

namespace {

// Monitor lines numbered from `first`, each starting with its line feed.
QString monitorLines(int first, int count)
{
    QString text;
    for (int i = first; i < first + count; ++i) {
        text += QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3] #%1").arg(i);
    }
    return text;
}

} // namespace

class tst_MessageMonitor : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<ViewFixture>(); }
    void cleanup() { f.reset(); }

    void openModesSetIdentityListsAndFirstPage_data()
    {
        QTest::addColumn<MidiEditView::OpenMode>("mode");
        QTest::addColumn<int>("windowId");
        QTest::addColumn<bool>("receiving");
        QTest::addColumn<MidiEditView::View>("page");
        QTest::addColumn<bool>("editor");
        QTest::newRow("In monitor") << MidiEditView::InMonitor << 1 << true << MidiEditView::General << false;
        QTest::newRow("Out monitor") << MidiEditView::OutMonitor << 2 << false << MidiEditView::General << false;
        QTest::newRow("editor") << MidiEditView::SystemExclusiveEdit << 3 << false << MidiEditView::General << true;
        QTest::newRow("receiving editor") << MidiEditView::SystemExclusiveReceive << 3 << true << MidiEditView::Progress
                                          << true;
    }
    void openModesSetIdentityListsAndFirstPage()
    {
        QFETCH(MidiEditView::OpenMode, mode);
        QFETCH(int, windowId);
        QFETCH(bool, receiving);
        QFETCH(MidiEditView::View, page);
        QFETCH(bool, editor);
        MidiEditView* view = f->make(mode);
        QCOMPARE(int(view->getWindowId()), windowId);
        QCOMPARE(view->isReceiving(), receiving);
        QCOMPARE(view->currentView(), page);
        QCOMPARE(f->mainWindow.outMonitorViews.contains(view), windowId == 2);
        QCOMPARE(f->mainWindow.receivingViews.contains(view), windowId != 2);
        // Editors have the toolbar, mark the project modified and keep every line.
        QCOMPARE(view->generalView()->toolBar() != nullptr, editor);
        QCOMPARE(f->edited(), editor);
        QCOMPARE(view->generalView()->textView()->maximumBlockCount(), editor ? 0 : 1024);
        QCOMPARE(view->generalView()->textView()->isReadOnly(), !editor);
        // Only an editor reads its text from a project; only one opened to edit saves it.
        QVERIFY(ViewFixture::read(*view, ViewFixture::payloadOf({{0, QStringLiteral("F0 7E")}})));
        QCOMPARE(textOf(view), editor ? "F0 7E" : "");
        view->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QCOMPARE(ViewFixture::write(*view).isEmpty(), windowId != 3 || receiving);
        delete view;
        QVERIFY(f->mainWindow.receivingViews.isEmpty());
        QVERIFY(f->mainWindow.outMonitorViews.isEmpty());
    }

    void linesAreAppendedWithoutLeadingLineFeed()
    {
        MidiEditView* out = f->make(MidiEditView::OutMonitor);
        out->receivedMessage(QStringLiteral("\nnot for an Out monitor"), 1);
        out->setText(QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3]  "));
        out->setText(QStringLiteral("\nPort2 CC       B0 07 64 [007 Volume]"));
        QCOMPARE(textOf(out), QStringLiteral("Port1 NoteOn   90 3C 64 [C3]\nPort2 CC       B0 07 64 [007 Volume]"));
        MidiEditView* in = f->make(MidiEditView::InMonitor);
        in->receivedMessage(QStringLiteral("\nPort1 SysEx    F0 7E 7F 06 01 F7"), 1);
        in->receivedMessage(QStringLiteral("\nignored"), 0);
        QCOMPARE(textOf(in), QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7"));
        QVERIFY(!f->edited());
    }

    void monitorKeepsTheNewest1024Lines()
    {
        MidiEditView* view = f->make(MidiEditView::InMonitor);
        QTextDocument* document = view->generalView()->textView()->document();
        view->receivedMessage(monitorLines(0, 1000), 1000);
        // A batch larger than the limit on its own.
        view->receivedMessage(monitorLines(2000, 3000), 3000);
        QCOMPARE(document->blockCount(), 1024);
        QVERIFY(document->lastBlock().text().endsWith(QStringLiteral("#4999")));
        QVERIFY(document->firstBlock().text().endsWith(QStringLiteral("#3976")));
    }

    void viewFollowsNewLinesOnlyNearTheEnd_data()
    {
        QTest::addColumn<int>("stepsFromEnd");
        QTest::addColumn<bool>("follows");
        QTest::newRow("three steps up follows") << 3 << true;
        QTest::newRow("four steps up stays") << 4 << false;
    }
    void viewFollowsNewLinesOnlyNearTheEnd()
    {
        QFETCH(int, stepsFromEnd);
        QFETCH(bool, follows);
        MidiEditView* view = f->make(MidiEditView::InMonitor, QString(), true);
        QVERIFY(QTest::qWaitForWindowExposed(view));
        QScrollBar* bar = view->generalView()->textView()->verticalScrollBar();
        view->receivedMessage(monitorLines(0, 100), 100);
        QCOMPARE(bar->value(), bar->maximum());
        bar->setValue(bar->maximum() - stepsFromEnd);
        const int position = bar->value();
        view->receivedMessage(monitorLines(100, 10), 10);
        QVERIFY(bar->maximum() > position + stepsFromEnd);
        QCOMPARE(bar->value(), follows ? bar->maximum() : position);
    }

    void shiftDClearsTheMonitorButTypesInTheEditor()
    {
        MidiEditView* monitor = f->make(MidiEditView::InMonitor, QString(), true);
        MidiEditView* editor = f->make(MidiEditView::SystemExclusiveEdit, QStringLiteral("F0 "), true);
        QVERIFY(QTest::qWaitForWindowExposed(editor));
        monitor->receivedMessage(monitorLines(0, 3), 3);
        QCOMPARE(contextMenuEntries(monitor->generalView()->textView()).last(), QStringLiteral("&Clear\tShift+D"));
        for (MidiEditView* view : {monitor, editor}) {
            MidiEditTextView* text = view->generalView()->textView();
            QApplication::setActiveWindow(view);
            text->setFocus();
            QTRY_VERIFY(text->hasFocus());
            text->moveCursor(QTextCursor::End);
            QTest::keyClick(text, 'D', Qt::ShiftModifier);
        }
        QVERIFY(textOf(monitor).isEmpty());
        QCOMPARE(textOf(editor), QStringLiteral("F0 D"));
    }

    void fontSizeAndHighlightRulesFollowThePreferences()
    {
        MidiEditView* monitor = f->make(MidiEditView::InMonitor);
        MidiEditView* editor = f->make(MidiEditView::SystemExclusiveEdit);
        QCOMPARE(monitor->generalView()->textView()->font().pixelSize(), 12);
        f->model.setModelIntValue(MessageFontSizeParameterId, 1);
        QCOMPARE(monitor->generalView()->textView()->font().pixelSize(), 18);

        TextHighlighter* monitorRules = monitor->generalView()->highlighter();
        QCOMPARE(monitorRules->currentHighlightInfo(), MessageHighlightInfoTable);
        f->model.setModelIntValue(MessageParsedParameterId, 0);
        QCOMPARE(monitorRules->currentHighlightInfo(), StatusByteHighlightInfoTable);
        QCOMPARE(editor->generalView()->highlighter()->currentHighlightInfo(), EditorHighlightInfoTable);
        // A monitor opened while the parser is off starts with the status byte rules.
        QCOMPARE(f->make(MidiEditView::OutMonitor)->generalView()->highlighter()->currentHighlightInfo(),
                 StatusByteHighlightInfoTable);
    }

private:
    std::unique_ptr<ViewFixture> f;
};

QTEST_MAIN(tst_MessageMonitor)
#include "tst_MessageMonitor.moc"
