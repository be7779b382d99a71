#include "FakeMainWindow.h"

#include "model/TulvarMidiModel.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditProgressView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"
#include "views/TextHighlighter.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QToolBar>
#include <QtTest>

Q_DECLARE_METATYPE(MidiEditView::OpenMode)
Q_DECLARE_METATYPE(MidiEditView::View)

namespace {

QString monitorLines(int first, int count)
{
    QString text;
    for (int i = first; i < first + count; ++i) {
        text += QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3] #%1").arg(i);
    }
    return text;
}

// The entries of the context menu a right click on the text area opens.
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

} // namespace

class tst_MidiEditMonitor : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void openModesSetIdentityListsAndFirstPage_data();
    void openModesSetIdentityListsAndFirstPage();
    void monitorIsReadOnlyUnwrappedAndColoured();
    void firstLineStartsWithoutLineFeed();
    void monitorKeepsNewest1024Lines();
    void viewAtTheEndFollowsNewLines();
    void viewScrolledUpKeepsItsPosition();
    void shiftDClearsMonitorButTypesInEditor();
    void fontSizeFollowsPreference();
    void highlighterRulesFollowParser();
    void inMonitorReceivesWithoutProgressPage();
    void outMonitorAppendsTransmittedText();
    void monitorContextMenuOffersClear();
    void monitorsStoreNothingInProject();

private:
    MidiEditView* makeView(MidiEditView::OpenMode mode, const QString& text = QString());

    TulvarMidiModel* m_model = nullptr;
    FakeMainWindow* m_mainWindow = nullptr;
    QList<QPointer<MidiEditView>> m_views;
};

void tst_MidiEditMonitor::init()
{
    m_model = new TulvarMidiModel;
    m_mainWindow = new FakeMainWindow;
}

void tst_MidiEditMonitor::cleanup()
{
    for (const QPointer<MidiEditView>& view : qAsConst(m_views)) {
        delete view.data();
    }
    m_views.clear();
    delete m_mainWindow;
    delete m_model;
}

MidiEditView* tst_MidiEditMonitor::makeView(MidiEditView::OpenMode mode, const QString& text)
{
    auto* view = new MidiEditView(nullptr, m_model, mode, text);
    view->resize(338, 274);
    m_views.append(view);
    return view;
}

void tst_MidiEditMonitor::openModesSetIdentityListsAndFirstPage_data()
{
    QTest::addColumn<MidiEditView::OpenMode>("mode");
    QTest::addColumn<int>("windowId");
    QTest::addColumn<bool>("receiving");
    QTest::addColumn<MidiEditView::View>("page");
    QTest::addColumn<bool>("outMonitorList");
    QTest::addColumn<bool>("toolBar");
    QTest::addColumn<bool>("marksModified");

    QTest::newRow("In monitor") << MidiEditView::InMonitor << 1 << true << MidiEditView::General << false << false
                                << false;
    QTest::newRow("Out monitor") << MidiEditView::OutMonitor << 2 << false << MidiEditView::General << true << false
                                 << false;
    QTest::newRow("editor") << MidiEditView::SystemExclusiveEdit << 3 << false << MidiEditView::General << false
                            << true << true;
    QTest::newRow("receiving editor") << MidiEditView::SystemExclusiveReceive << 3 << true << MidiEditView::Progress
                                      << false << true << true;
}

void tst_MidiEditMonitor::openModesSetIdentityListsAndFirstPage()
{
    QFETCH(MidiEditView::OpenMode, mode);
    QFETCH(int, windowId);
    QFETCH(bool, receiving);
    QFETCH(MidiEditView::View, page);
    QFETCH(bool, outMonitorList);
    QFETCH(bool, toolBar);
    QFETCH(bool, marksModified);

    MidiEditView* view = makeView(mode);
    QCOMPARE(int(view->getWindowId()), windowId);
    QCOMPARE(view->isReceiving(), receiving);
    QCOMPARE(view->currentView(), page);
    QCOMPARE(m_mainWindow->outMonitorViews.contains(view), outMonitorList);
    QCOMPARE(m_mainWindow->receivingViews.contains(view), !outMonitorList);
    QCOMPARE(view->generalView()->toolBar() != nullptr, toolBar);
    QCOMPARE(m_model->getParameterEditFlag() == ParameterEditFlagChanged, marksModified);
    QCOMPARE(view->frameStyle(), 22);

    delete view;
    QVERIFY(m_mainWindow->receivingViews.isEmpty());
    QVERIFY(m_mainWindow->outMonitorViews.isEmpty());
}

void tst_MidiEditMonitor::monitorIsReadOnlyUnwrappedAndColoured()
{
    MidiEditTextView* text = makeView(MidiEditView::InMonitor)->generalView()->textView();
    QVERIFY(text->isReadOnly());
    QCOMPARE(text->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(text->maximumBlockCount(), 1024);
    QVERIFY(!text->acceptDrops());
    QCOMPARE(text->palette().color(QPalette::Base), QColor(40, 27, 67));
    QCOMPARE(text->palette().color(QPalette::Text), QColor(Qt::white));
    QCOMPARE(text->font().family(), QStringLiteral("Monaco"));

    MidiEditTextView* editor = makeView(MidiEditView::SystemExclusiveEdit)->generalView()->textView();
    QVERIFY(!editor->isReadOnly());
    QCOMPARE(editor->maximumBlockCount(), 0);
}

void tst_MidiEditMonitor::firstLineStartsWithoutLineFeed()
{
    MidiEditView* view = makeView(MidiEditView::OutMonitor);
    view->setText(QStringLiteral("\nPort1 NoteOn   90 3C 64 [C3]  "));
    view->setText(QStringLiteral("\nPort1 NoteOff  80 3C 00 [C3]"));
    QCOMPARE(view->generalView()->textView()->toPlainText(),
             QStringLiteral("Port1 NoteOn   90 3C 64 [C3]\nPort1 NoteOff  80 3C 00 [C3]"));
}

void tst_MidiEditMonitor::monitorKeepsNewest1024Lines()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->receivedMessage(monitorLines(0, 1000), 1000);
    view->receivedMessage(monitorLines(1000, 500), 500);
    QTextDocument* document = view->generalView()->textView()->document();
    QCOMPARE(document->blockCount(), 1024);
    QVERIFY(document->lastBlock().text().endsWith(QStringLiteral("#1499")));
    QVERIFY(document->firstBlock().text().endsWith(QStringLiteral("#476")));

    // A batch larger than the limit on its own.
    view->receivedMessage(monitorLines(2000, 3000), 3000);
    QCOMPARE(document->blockCount(), 1024);
    QVERIFY(document->lastBlock().text().endsWith(QStringLiteral("#4999")));
    QVERIFY(document->firstBlock().text().endsWith(QStringLiteral("#3976")));
}

void tst_MidiEditMonitor::viewAtTheEndFollowsNewLines()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QScrollBar* bar = view->generalView()->textView()->verticalScrollBar();
    view->receivedMessage(monitorLines(0, 100), 100);
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());

    bar->setValue(bar->maximum() - 3);
    view->receivedMessage(monitorLines(100, 10), 10);
    QCOMPARE(bar->value(), bar->maximum());
}

void tst_MidiEditMonitor::viewScrolledUpKeepsItsPosition()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QScrollBar* bar = view->generalView()->textView()->verticalScrollBar();
    view->receivedMessage(monitorLines(0, 100), 100);
    bar->setValue(bar->maximum() - 4);
    const int position = bar->value();
    view->receivedMessage(monitorLines(100, 10), 10);
    QCOMPARE(bar->value(), position);
    QVERIFY(bar->maximum() > position + 4);
}

void tst_MidiEditMonitor::shiftDClearsMonitorButTypesInEditor()
{
    MidiEditView* monitor = makeView(MidiEditView::InMonitor);
    MidiEditView* editor = makeView(MidiEditView::SystemExclusiveEdit, QStringLiteral("F0 "));
    monitor->show();
    editor->show();
    QVERIFY(QTest::qWaitForWindowExposed(editor));
    monitor->receivedMessage(monitorLines(0, 3), 3);

    MidiEditTextView* monitorText = monitor->generalView()->textView();
    QApplication::setActiveWindow(monitor);
    monitorText->setFocus();
    QTRY_VERIFY(monitorText->hasFocus());
    QTest::keyClick(monitorText, Qt::Key_D, Qt::ShiftModifier);
    QVERIFY(monitorText->toPlainText().isEmpty());

    MidiEditTextView* editorText = editor->generalView()->textView();
    QApplication::setActiveWindow(editor);
    editorText->setFocus();
    QTRY_VERIFY(editorText->hasFocus());
    editorText->moveCursor(QTextCursor::End);
    QTest::keyClick(editorText, 'D', Qt::ShiftModifier);
    QCOMPARE(editorText->toPlainText(), QStringLiteral("F0 D"));
}

void tst_MidiEditMonitor::fontSizeFollowsPreference()
{
    MidiEditTextView* text = makeView(MidiEditView::InMonitor)->generalView()->textView();
    QCOMPARE(text->font().pixelSize(), 12);
    m_model->setModelIntValue(MessageFontSizeParameterId, 1);
    QCOMPARE(text->font().pixelSize(), 18);
    m_model->setModelIntValue(MessageFontSizeParameterId, 0);
    QCOMPARE(text->font().pixelSize(), 12);
}

void tst_MidiEditMonitor::highlighterRulesFollowParser()
{
    MidiEditView* monitor = makeView(MidiEditView::InMonitor);
    MidiEditView* editor = makeView(MidiEditView::SystemExclusiveEdit);
    TextHighlighter* monitorRules = monitor->generalView()->highlighter();
    QCOMPARE(monitorRules->currentHighlightInfo(), MessageHighlightInfoTable);
    QCOMPARE(editor->generalView()->highlighter()->currentHighlightInfo(), EditorHighlightInfoTable);

    m_model->setModelIntValue(MessageParsedParameterId, 0);
    QCOMPARE(monitorRules->currentHighlightInfo(), StatusByteHighlightInfoTable);
    QCOMPARE(editor->generalView()->highlighter()->currentHighlightInfo(), EditorHighlightInfoTable);

    // With lines in the monitor the new rules wait for the next line.
    monitor->receivedMessage(monitorLines(0, 2), 2);
    m_model->setModelIntValue(MessageParsedParameterId, 1);
    QCOMPARE(monitorRules->currentHighlightInfo(), StatusByteHighlightInfoTable);
    m_model->setModelIntValue(MessageColorParameterId, 1);
    QCOMPARE(monitorRules->currentHighlightInfo(), MessageHighlightInfoTable);

    // A monitor opened while the parser is off starts with the status byte rules.
    m_model->setModelIntValue(MessageParsedParameterId, 0);
    MidiEditView* late = makeView(MidiEditView::OutMonitor);
    QCOMPARE(late->generalView()->highlighter()->currentHighlightInfo(), StatusByteHighlightInfoTable);
}

void tst_MidiEditMonitor::inMonitorReceivesWithoutProgressPage()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->receivedMessage(QStringLiteral("\nPort1 SysEx    F0 7E 7F 06 01 F7"), 1);
    view->receivedMessage(QStringLiteral("\nignored"), 0);
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7"));
    QCOMPARE(view->currentView(), MidiEditView::General);
    QCOMPARE(m_model->getParameterEditFlag(), ParameterEditFlagUnchanged);
}

void tst_MidiEditMonitor::outMonitorAppendsTransmittedText()
{
    MidiEditView* view = makeView(MidiEditView::OutMonitor);
    view->receivedMessage(QStringLiteral("\nreceived"), 1);
    view->setText(QStringLiteral("\nPort2 CC       B0 07 64 [007 Volume]"));
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("Port2 CC       B0 07 64 [007 Volume]"));
}

void tst_MidiEditMonitor::monitorContextMenuOffersClear()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->show();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    const QStringList entries = contextMenuEntries(view->generalView()->textView());
    QCOMPARE(entries.last(), QStringLiteral("&Clear\tShift+D"));
    QVERIFY(!entries.contains(QStringLiteral("&Transmit\tF5")));
}

void tst_MidiEditMonitor::monitorsStoreNothingInProject()
{
    MidiEditView* view = makeView(MidiEditView::InMonitor);
    view->receivedMessage(QStringLiteral("\nline"), 1);
    QByteArray payload;
    QDataStream out(&payload, QIODevice::WriteOnly);
    QVERIFY(view->getDataStream(out));
    QVERIFY(payload.isEmpty());

    QByteArray stored;
    QDataStream record(&stored, QIODevice::WriteOnly);
    FileStream::setStringParameterToStream(record, 0, QStringLiteral("F0 F7"));
    QDataStream in(stored);
    QVERIFY(view->setDataStream(in));
    QCOMPARE(view->generalView()->textView()->toPlainText(), QStringLiteral("line"));
}

QTEST_MAIN(tst_MidiEditMonitor)
#include "tst_MidiEditMonitor.moc"
