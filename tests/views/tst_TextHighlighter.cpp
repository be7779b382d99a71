#include "model/TulvarMidiModel.h"
#include "views/TextHighlighter.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QtTest>

namespace {

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

// A new highlighter colours the whole document once the event loop runs and ignores edits until
// then; a document reports edits only once it has a layout, as every text area's document has.
void settle(QTextDocument& document)
{
    document.documentLayout();
    QCoreApplication::processEvents();
}

} // namespace

class tst_TextHighlighter : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void colourSwitchOffLeavesTextPlainAndOnRecoloursAtOnce();
    void messageRulesColourWholeMessages_data();
    void messageRulesColourWholeMessages();
    void statusByteRulesColourStatusBytesOnly_data();
    void statusByteRulesColourStatusBytesOnly();
    void editorRulesColourF0F7AndComments_data();
    void editorRulesColourF0F7AndComments();
    void pendingTableTakesEffectAfterNextLine();

private:
    void check(const TextHighlighter::HighlightInfo* table, int count);

    TulvarMidiModel* m_model = nullptr;
};

void tst_TextHighlighter::init()
{
    m_model = new TulvarMidiModel;
    m_model->setModelIntValue(MessageColorParameterId, 1);
}

void tst_TextHighlighter::cleanup()
{
    delete m_model;
    m_model = nullptr;
}

void tst_TextHighlighter::colourSwitchOffLeavesTextPlainAndOnRecoloursAtOnce()
{
    m_model->setModelIntValue(MessageColorParameterId, 0);
    QTextDocument document;
    TextHighlighter highlighter(&document, m_model, MessageHighlightInfoTable, MessageHighlightInfoCount);
    document.setPlainText(QStringLiteral("Port1 NoteOn   90 3C 64 [C3]\nPort1 CC       B0 07 64 [007 Volume]"));
    QVERIFY(!highlighter.isEnabled());
    QCOMPARE(colorAt(document, 0, 15), NoColor);

    m_model->setModelIntValue(MessageColorParameterId, 1);
    QVERIFY(highlighter.isEnabled());
    QCOMPARE(colorAt(document, 0, 15), QColor(172, 172, 255));
    QCOMPARE(colorAt(document, 1, 15), QColor(255, 255, 66));

    m_model->setModelIntValue(MessageColorParameterId, 0);
    QCOMPARE(colorAt(document, 1, 15), NoColor);
}

void tst_TextHighlighter::messageRulesColourWholeMessages_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("color");

    const QString noteOn = QStringLiteral("Port1 NoteOn   90 3C 64 [C3]");
    QTest::newRow("note on status") << noteOn << 15 << QColor(172, 172, 255);
    QTest::newRow("note on velocity") << noteOn << 22 << QColor(172, 172, 255);
    QTest::newRow("note on detail stays plain") << noteOn << 25 << NoColor;
    QTest::newRow("label stays plain") << noteOn << 6 << NoColor;
    QTest::newRow("note off") << QStringLiteral("80 3C 00") << 7 << QColor(170, 0, 130);
    QTest::newRow("key pressure") << QStringLiteral("A1 3C 10") << 0 << QColor(67, 127, 140);
    QTest::newRow("control change") << QStringLiteral("B0 07 64 [007 Volume]") << 3 << QColor(255, 255, 66);
    QTest::newRow("program change") << QStringLiteral("Port1 PC       C0 05") << 18 << QColor(255, 28, 28);
    QTest::newRow("channel pressure") << QStringLiteral("D3 7F") << 4 << QColor(152, 192, 172);
    QTest::newRow("pitch bend") << QStringLiteral("E0 00 40") << 6 << QColor(16, 227, 16);
    QTest::newRow("data byte above 7F is no message") << QStringLiteral("90 80 64") << 0 << NoColor;
    QTest::newRow("system exclusive stays plain") << QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7") << 15
                                                  << NoColor;
    QTest::newRow("every match on a line") << QStringLiteral("90 3C 64 -- 90 3E 40") << 18 << QColor(172, 172, 255);
}

void tst_TextHighlighter::messageRulesColourWholeMessages()
{
    check(MessageHighlightInfoTable, MessageHighlightInfoCount);
}

void tst_TextHighlighter::statusByteRulesColourStatusBytesOnly_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("color");

    const QString raw = QStringLiteral("Port1 -------- 90 3C 64 80 3C 00");
    QTest::newRow("note on status") << raw << 15 << QColor(172, 172, 255);
    QTest::newRow("data byte stays plain") << raw << 18 << NoColor;
    QTest::newRow("note off status") << raw << 24 << QColor(170, 0, 130);
    QTest::newRow("note name of an older line stays plain")
        << QStringLiteral("Port1 NoteOn   90 39 64 [A2]") << 25 << NoColor;
    QTest::newRow("pitch bend status") << QStringLiteral("E0 00 40") << 0 << QColor(16, 227, 16);
    QTest::newRow("program change with its space") << QStringLiteral("C0 05") << 2 << QColor(255, 28, 28);
}

void tst_TextHighlighter::statusByteRulesColourStatusBytesOnly()
{
    check(StatusByteHighlightInfoTable, StatusByteHighlightInfoCount);
}

void tst_TextHighlighter::editorRulesColourF0F7AndComments_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("column");
    QTest::addColumn<QColor>("color");

    const QString dump = QStringLiteral("F0 7E 7F 06 01 f7 // identity F0");
    QTest::newRow("F0") << dump << 0 << QColor(0, 0, 255);
    QTest::newRow("other bytes plain") << dump << 3 << NoColor;
    QTest::newRow("lower-case f7") << dump << 16 << QColor(0, 0, 255);
    QTest::newRow("comment start") << dump << 18 << QColor(0, 128, 0);
    QTest::newRow("F0 inside a comment") << dump << 30 << QColor(0, 128, 0);
}

void tst_TextHighlighter::editorRulesColourF0F7AndComments()
{
    check(EditorHighlightInfoTable, EditorHighlightInfoCount);
}

void tst_TextHighlighter::check(const TextHighlighter::HighlightInfo* table, int count)
{
    QFETCH(QString, line);
    QFETCH(int, column);
    QFETCH(QColor, color);

    QTextDocument document;
    TextHighlighter highlighter(&document, m_model, table, count);
    settle(document);
    document.setPlainText(line);
    QCOMPARE(colorAt(document, 0, column), color);
}

void tst_TextHighlighter::pendingTableTakesEffectAfterNextLine()
{
    QTextDocument document;
    TextHighlighter highlighter(&document, m_model, MessageHighlightInfoTable, MessageHighlightInfoCount);
    settle(document);
    document.setPlainText(QStringLiteral("90 3C 64"));
    QCOMPARE(colorAt(document, 0, 3), QColor(172, 172, 255));

    highlighter.setHighlightInfo(StatusByteHighlightInfoTable, StatusByteHighlightInfoCount);
    QCOMPARE(highlighter.currentHighlightInfo(), MessageHighlightInfoTable);

    QTextCursor cursor(&document);
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n90 3E 40"));
    QCOMPARE(highlighter.currentHighlightInfo(), StatusByteHighlightInfoTable);
    QCOMPARE(colorAt(document, 0, 3), QColor(172, 172, 255));

    cursor.insertText(QStringLiteral("\n90 3E 40"));
    QCOMPARE(colorAt(document, 2, 0), QColor(172, 172, 255));
    QCOMPARE(colorAt(document, 2, 3), NoColor);
}

QTEST_MAIN(tst_TextHighlighter)
#include "tst_TextHighlighter.moc"
