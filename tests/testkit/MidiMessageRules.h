// The MIDI rules the parser's output is checked against, written down independently of the
// library's own tables. Shared by the property test and the parser fuzzer; no Qt.
#pragma once

#include <cstddef>
#include <cstdint>

namespace midirules {

const int LargestExclusive = 16384;

// The undefined status bytes that an exclusive keeps as received.
inline bool isUndefinedInsideExclusive(uint8_t byte)
{
    return byte == 0xF4 || byte == 0xF5 || byte == 0xF9 || byte == 0xFD;
}

// Bytes in the message that the byte opens; 0 for data bytes and for status bytes that open none.
inline int messageSize(uint8_t byte)
{
    if (byte < 0x80) {
        return 0;
    }
    if (byte < 0xF0) {
        return (byte & 0xE0) == 0xC0 ? 2 : 3; // program change and channel pressure have one data byte
    }
    switch (byte) {
    case 0xF0:
        return LargestExclusive;
    case 0xF1:
    case 0xF3:
        return 2;
    case 0xF2:
        return 3;
    default: // tune request and the defined real-time bytes stand alone; F7 ends, it opens nothing
        return (byte == 0xF6 || byte >= 0xF8) && !isUndefinedInsideExclusive(byte) ? 1 : 0;
    }
}

// A message that a receiver can take as it stands: a status byte that opens a message, its exact
// length and only data bytes after it; an exclusive ends with 0xF7 and keeps the undefined
// status bytes it was sent with.
inline bool isWellFormed(const uint8_t *message, size_t length)
{
    if (length == 0) {
        return false;
    }
    const int size = messageSize(message[0]);
    if (size == 0) {
        return false;
    }
    if (message[0] == 0xF0) {
        if (length < 2 || length > size_t(LargestExclusive) || message[length - 1] != 0xF7) {
            return false;
        }
        for (size_t i = 1; i + 1 < length; ++i) {
            if ((message[i] & 0x80) && !isUndefinedInsideExclusive(message[i])) {
                return false;
            }
        }
        return true;
    }
    if (length != size_t(size)) {
        return false;
    }
    for (size_t i = 1; i < length; ++i) {
        if (message[i] & 0x80) {
            return false;
        }
    }
    return true;
}

} // namespace midirules
