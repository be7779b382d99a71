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
    void init() { model.setModelIntValue(MessageColorParameterId, 1); }

    void colourSwitchOffLeavesTextPlainAndOnRecoloursAtOnce()
    {
        model.setModelIntValue(MessageColorParameterId, 0);
        QTextDocument document;
        TextHighlighter highlighter(&document, &model, MessageHighlightInfoTable, MessageHighlightInfoCount);
        document.setPlainText(QStringLiteral("Port1 NoteOn   90 3C 64 [C3]\nPort1 CC       B0 07 64 [007 Volume]"));
        QVERIFY(!highlighter.isEnabled());
        QCOMPARE(colorAt(document, 0, 15), NoColor);

        model.setModelIntValue(MessageColorParameterId, 1);
        QVERIFY(highlighter.isEnabled());
        QCOMPARE(colorAt(document, 0, 15), QColor(172, 172, 255));
        QCOMPARE(colorAt(document, 1, 15), QColor(255, 255, 66));

        model.setModelIntValue(MessageColorParameterId, 0);
        QCOMPARE(colorAt(document, 1, 15), NoColor);
    }

    void rulesColourTheirMatches_data()
    {
        QTest::addColumn<int>("rules");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("column");
        QTest::addColumn<QColor>("color");

        // Monitor lines with the parser on: whole messages.
        const QString noteOn = QStringLiteral("Port1 NoteOn   90 3C 64 [C3]");
        QTest::newRow("note on status") << 0 << noteOn << 15 << QColor(172, 172, 255);
        QTest::newRow("data byte above 7F is no message") << 0 << QStringLiteral("90 80 64") << 0 << NoColor;
        QTest::newRow("system exclusive stays plain") << 0 << QStringLiteral("Port1 SysEx    F0 7E 7F 06 01 F7") << 15
                                                      << NoColor;
        QTest::newRow("every match on a line") << 0 << QStringLiteral("90 3C 64 -- 90 3E 40") << 18
                                               << QColor(172, 172, 255);
        QTest::newRow("time stamp stays plain") << 0 << QStringLiteral("000003723004 Port1 NoteOn   90 3C 64") << 2
                                                << NoColor;

        // Parser off: status bytes only.
        const QString raw = QStringLiteral("Port1 -------- 90 3C 64 80 3C 00");
        QTest::newRow("raw note on status") << 1 << raw << 15 << QColor(172, 172, 255);
        QTest::newRow("raw data byte stays plain") << 1 << raw << 18 << NoColor;
        QTest::newRow("note name of an older line stays plain")
            << 1 << QStringLiteral("Port1 NoteOn   90 39 64 [A2]") << 25 << NoColor;

        // Editor text: F0, F7 and comments.
        const QString dump = QStringLiteral("F0 7E 7F 06 01 f7 // identity F0");
        QTest::newRow("F0") << 2 << dump << 0 << QColor(0, 0, 255);
        QTest::newRow("F0 inside a comment") << 2 << dump << 30 << QColor(0, 128, 0);
    }

    void rulesColourTheirMatches()
    {
        QFETCH(int, rules);
        QFETCH(QString, line);
        QFETCH(int, column);
        QFETCH(QColor, color);
        const TextHighlighter::HighlightInfo* tables[] = {MessageHighlightInfoTable, StatusByteHighlightInfoTable,
                                                          EditorHighlightInfoTable};
        const int counts[] = {MessageHighlightInfoCount, StatusByteHighlightInfoCount, EditorHighlightInfoCount};

        QTextDocument document;
        TextHighlighter highlighter(&document, &model, tables[rules], counts[rules]);
        settle(document);
        document.setPlainText(line);
        QCOMPARE(colorAt(document, 0, column), color);
    }

    void pendingTableTakesEffectAfterNextLine()
    {
        QTextDocument document;
        TextHighlighter highlighter(&document, &model, MessageHighlightInfoTable, MessageHighlightInfoCount);
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

private:
    TulvarMidiModel model;
};

QTEST_MAIN(tst_TextHighlighter)
#include "tst_TextHighlighter.moc"
