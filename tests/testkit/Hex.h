#pragma once

#include <QByteArray>

// Bytes written as hexadecimal pairs, spaces between them ignored: hex("90 3C 40").
inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(text);
}
