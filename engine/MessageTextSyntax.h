#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// The hexadecimal message text that the message editor and the custom message view send:
// byte pairs in either letter case, separated (or not) by spaces, commas, tabs and line breaks,
// with "//" comments to the end of the line.
namespace MessageTextSyntax {

// What cleaning removes, as a regular expression (a space, a comma, a tab, a line feed, or a
// comment with its line feed). Cleaning itself does not run the expression: it is one pass over
// the text that removes exactly its matches.
extern const char* const RegExpOfUunnecessaryCharacterForMessage;

// The text with every paragraph separator (U+2029) taken as a line feed and every match of
// RegExpOfUunnecessaryCharacterForMessage removed.
QString cleanMessageText(QString const& text);

// Reads byteCount pairs of hexadecimal digits from text into out. False at the first pair that
// holds anything but the digits 0-9, A-F and a-f (no sign, no blank); the bytes before it are
// written. A count of 0 is success.
bool convertHexStringToHexNumber(unsigned char* out, const QChar* text, std::size_t byteCount);

// Where a message text stops converting: the first character that is neither a hexadecimal
// digit nor removed by cleaning. Lines and columns count from 1, as an editor shows them.
struct MessageTextError {
    int position = -1; // index into the original text
    int line = 0;
    int column = 0;
    QChar character;
};

// The bytes a whole message text stands for (comments and separators dropped; a lone last digit
// is ignored, as a transmission ignores it). False, with the error filled in when asked for, at
// the first character that is not part of the syntax; bytes is then left empty.
[[nodiscard]] bool convertMessageText(QString const& text, QByteArray& bytes, MessageTextError* error = nullptr);

} // namespace MessageTextSyntax
