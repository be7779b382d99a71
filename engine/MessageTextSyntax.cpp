#include "engine/MessageTextSyntax.h"

namespace MessageTextSyntax {

const char* const RegExpOfUunnecessaryCharacterForMessage = " |,|\t|\n|(//|//([^\n]+))(\n|$)";

namespace {

const char16_t ParagraphSeparator = 0x2029;

bool isLineFeed(char16_t c)
{
    return c == u'\n' || c == ParagraphSeparator;
}

// 0-15 for a hexadecimal digit, -1 for any other character.
int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    return -1;
}

} // namespace

QString cleanMessageText(QString const& text)
{
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    const int length = text.size();
    QString cleaned(length, Qt::Uninitialized);
    char16_t* out = reinterpret_cast<char16_t*>(cleaned.data());
    int kept = 0;
    for (int i = 0; i < length; ++i) {
        const char16_t c = in[i];
        if (c == u' ' || c == u',' || c == u'\t' || isLineFeed(c)) {
            continue;
        }
        if (c == u'/' && i + 1 < length && in[i + 1] == u'/') {
            // The comment runs to its line's end and takes the line feed with it.
            i += 2;
            while (i < length && !isLineFeed(in[i])) {
                ++i;
            }
            continue;
        }
        out[kept++] = c;
    }
    cleaned.truncate(kept);
    return cleaned;
}

bool convertHexStringToHexNumber(unsigned char* out, const QChar* text, std::size_t byteCount)
{
    const char16_t* in = reinterpret_cast<const char16_t*>(text);
    for (std::size_t i = 0; i < byteCount; ++i) {
        const int high = hexDigitValue(in[2 * i]);
        const int low = hexDigitValue(in[2 * i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        out[i] = static_cast<unsigned char>(high << 4 | low);
    }
    return true;
}

bool convertMessageText(QString const& text, QByteArray& bytes, MessageTextError* error)
{
    // One pass that cleans and converts together, so that a bad character is reported where it
    // stands in the text the user sees.
    const char16_t* in = reinterpret_cast<const char16_t*>(text.constData());
    const int length = text.size();
    bytes.clear();
    bytes.reserve(length / 2);
    int line = 1;
    int lineStart = 0;
    int pendingDigit = -1;
    for (int i = 0; i < length; ++i) {
        const char16_t c = in[i];
        if (isLineFeed(c)) {
            ++line;
            lineStart = i + 1;
            continue;
        }
        if (c == u' ' || c == u',' || c == u'\t') {
            continue;
        }
        if (c == u'/' && i + 1 < length && in[i + 1] == u'/') {
            i += 2;
            while (i < length && !isLineFeed(in[i])) {
                ++i;
            }
            --i; // the line feed is counted by the next round
            continue;
        }
        const int digit = hexDigitValue(c);
        if (digit < 0) {
            bytes.clear();
            if (error != nullptr) {
                *error = MessageTextError{i, line, i - lineStart + 1, QChar(c)};
            }
            return false;
        }
        if (pendingDigit < 0) {
            pendingDigit = digit;
        } else {
            bytes.append(char(pendingDigit << 4 | digit));
            pendingDigit = -1;
        }
    }
    return true;
}

} // namespace MessageTextSyntax
