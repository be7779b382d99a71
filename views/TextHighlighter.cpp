#include "views/TextHighlighter.h"

#include "model/TulvarMidiModel.h"
#include "model/TulvarMidiParameters.h"

#include <QTextDocument>

const TextHighlighter::HighlightInfo MessageHighlightInfoTable[] = {
    {"\\bF0\\ \\*\\b", QColor(255, 255, 255), 0, TextHighlighter::FirstMatch},
    {"\\b9([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(172, 172, 255), 0,
     TextHighlighter::EveryMatch},
    {"\\b8([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(170, 0, 130), 0,
     TextHighlighter::EveryMatch},
    {"\\bA([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(67, 127, 140), 0,
     TextHighlighter::EveryMatch},
    {"\\bB([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(255, 255, 66), 0,
     TextHighlighter::EveryMatch},
    {"\\bC([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(255, 28, 28), 0, TextHighlighter::EveryMatch},
    {"\\bD([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(152, 192, 172), 0, TextHighlighter::EveryMatch},
    {"\\bE([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\ [0-7]([0-9]|[A-F])\\b", QColor(16, 227, 16), 0,
     TextHighlighter::EveryMatch},
};
const int MessageHighlightInfoCount = int(sizeof(MessageHighlightInfoTable) / sizeof(MessageHighlightInfoTable[0]));

const TextHighlighter::HighlightInfo StatusByteHighlightInfoTable[] = {
    {"\\b9([0-9]|[A-F])(?!\\])\\b", QColor(172, 172, 255), 0, TextHighlighter::EveryMatch},
    {"\\b8([0-9]|[A-F])(?!\\])\\b", QColor(170, 0, 130), 0, TextHighlighter::EveryMatch},
    {"\\bA([0-9]|[A-F])(?!\\])\\b", QColor(67, 127, 140), 0, TextHighlighter::EveryMatch},
    {"\\bB([0-9]|[A-F])(?!\\])\\b", QColor(255, 255, 66), 0, TextHighlighter::EveryMatch},
    {"\\bC([0-9]|[A-F])[(?! {7})|(?!\\])]\\b", QColor(255, 28, 28), 0, TextHighlighter::EveryMatch},
    {"\\bD([0-9]|[A-F])(?!\\])\\b", QColor(152, 192, 172), 0, TextHighlighter::EveryMatch},
    {"\\bE([0-9]|[A-F])(?!\\])\\b", QColor(16, 227, 16), 0, TextHighlighter::EveryMatch},
};
const int StatusByteHighlightInfoCount =
    int(sizeof(StatusByteHighlightInfoTable) / sizeof(StatusByteHighlightInfoTable[0]));

const TextHighlighter::HighlightInfo EditorHighlightInfoTable[] = {
    {"(F|f)(0|7)", QColor(0, 0, 255), 0, TextHighlighter::EveryMatch},
    {"//.*", QColor(0, 128, 0), 0, TextHighlighter::FirstMatch},
};
const int EditorHighlightInfoCount = int(sizeof(EditorHighlightInfoTable) / sizeof(EditorHighlightInfoTable[0]));

TextHighlighter::TextHighlighter(QTextDocument* document, TulvarMidiModel* model, const HighlightInfo* table,
                                 int count)
    : QSyntaxHighlighter(document)
    , m_model(model)
    , m_enabled(model->getModelIntValue(MessageColorParameterId) != 0)
{
    makeCurrent(table, count);
    m_model->registerModelAssistant(this);
}

TextHighlighter::~TextHighlighter()
{
    m_model->unregisterModelAssistant(this);
}

void TextHighlighter::setHighlightInfo(const HighlightInfo* table, int count)
{
    m_pendingTable = table;
    m_pendingCount = count;
}

void TextHighlighter::updateHilightInfo()
{
    if (m_pendingTable != nullptr) {
        makeCurrent(m_pendingTable, m_pendingCount);
        m_pendingTable = nullptr;
        m_pendingCount = 0;
    }
}

bool TextHighlighter::isEnabled() const
{
    return m_enabled;
}

const TextHighlighter::HighlightInfo* TextHighlighter::currentHighlightInfo() const
{
    return m_table;
}

void TextHighlighter::updateParameter(unsigned int id)
{
    if (id != MessageColorParameterId) {
        return;
    }
    m_enabled = m_model->getModelIntValue(MessageColorParameterId) != 0;
    m_model->lockParameterEditFlag();
    updateHilightInfo();
    rehighlight();
    m_model->unlockParameterEditFlag();
}

void TextHighlighter::highlightBlock(const QString& text)
{
    if (!m_enabled) {
        return;
    }
    for (const Rule& rule : qAsConst(m_rules)) {
        highlight(text, rule);
    }
    updateHilightInfo();
}

void TextHighlighter::highlight(const QString& text, const Rule& rule)
{
    // QRegExp keeps the state of the last match, so each call works on its own copy.
    QRegExp expression = rule.expression;
    int index = expression.indexIn(text);
    if (rule.unit == FirstMatch) {
        if (index >= 0) {
            setFormat(index, rule.length < 1 ? text.length() : rule.length, rule.color);
        }
        return;
    }
    while (index >= 0) {
        const int length = expression.matchedLength();
        setFormat(index, length, rule.color);
        // An empty match would find itself again for ever.
        index = expression.indexIn(text, index + qMax(length, 1));
    }
}

void TextHighlighter::makeCurrent(const HighlightInfo* table, int count)
{
    m_table = table;
    m_rules.clear();
    m_rules.reserve(count);
    for (int i = 0; i < count; ++i) {
        m_rules.append({QRegExp(QString::fromLatin1(table[i].pattern), Qt::CaseSensitive, QRegExp::RegExp),
                        table[i].color, table[i].length, table[i].unit});
    }
}
