#pragma once

#include "model/ModelAssistant.h"

#include <QColor>
#include <QRegExp>
#include <QString>
#include <QSyntaxHighlighter>
#include <QVector>

class QTextDocument;
class TulvarMidiModel;

// Colours message text by rule tables: the monitors' message or status byte rules (chosen by the
// parser preference) and the editors' rules. Rules run in table order, so a later rule wins where
// two colour the same characters. Parameter 1203 ("Color") switches all colouring on and off.
class TextHighlighter : public QSyntaxHighlighter, public ModelAssistant {
    Q_OBJECT

public:
    enum Unit {
        EveryMatch = 0,
        FirstMatch = 1,
    };

    struct HighlightInfo {
        const char* pattern;
        QColor color;
        // Characters coloured from the first match; below 1 means to the end of the line.
        int length;
        Unit unit;
    };

    TextHighlighter(QTextDocument* document, TulvarMidiModel* model, const HighlightInfo* table, int count);
    ~TextHighlighter() override;

    // The new table becomes current after the next highlighted line (or updateHilightInfo).
    void setHighlightInfo(const HighlightInfo* table, int count);
    void updateHilightInfo();
    bool isEnabled() const;
    const HighlightInfo* currentHighlightInfo() const;

    void updateParameter(unsigned int id) override;

protected:
    void highlightBlock(const QString& text) override;

private:
    struct Rule {
        QRegExp expression;
        QColor color;
        int length;
        Unit unit;
    };

    void highlight(const QString& text, const Rule& rule);
    void makeCurrent(const HighlightInfo* table, int count);

    TulvarMidiModel* m_model;
    bool m_enabled;
    const HighlightInfo* m_table = nullptr;
    QVector<Rule> m_rules;
    const HighlightInfo* m_pendingTable = nullptr;
    int m_pendingCount = 0;
};

// Monitors while the parser is on: lines hold whole messages.
extern const TextHighlighter::HighlightInfo MessageHighlightInfoTable[];
extern const int MessageHighlightInfoCount;
// Monitors while the parser is off: lines hold raw bytes.
extern const TextHighlighter::HighlightInfo StatusByteHighlightInfoTable[];
extern const int StatusByteHighlightInfoCount;
// Message editors: F0 and F7 in blue, comments in dark green.
extern const TextHighlighter::HighlightInfo EditorHighlightInfoTable[];
extern const int EditorHighlightInfoCount;
