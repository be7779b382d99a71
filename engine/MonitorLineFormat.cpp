#include "engine/MonitorLineFormat.h"

#include "engine/MessageTables.h"

#include <algorithm>
#include <cstring>

namespace {

const char HexDigits[] = "0123456789ABCDEF";

char* writeHexByte(char* out, unsigned char value)
{
    out[0] = HexDigits[value >> 4];
    out[1] = HexDigits[value & 0x0F];
    return out + 2;
}

// value in decimal, zero-filled to at least minimumDigits.
char* writeDecimal(char* out, std::uint64_t value, int minimumDigits)
{
    char digits[24];
    int count = 0;
    do {
        digits[count++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (count < minimumDigits) {
        digits[count++] = '0';
    }
    while (count > 0) {
        *out++ = digits[--count];
    }
    return out;
}

char* writeText(char* out, const char* text)
{
    const std::size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

bool isLineStartingStatus(unsigned char byte)
{
    return byte >= 0x80 && byte != 0xF7;
}

} // namespace

void MonitorLineFormat::setMiddleC(int middleC)
{
    m_middleC = std::clamp(middleC, 0, 2);
}

int MonitorLineFormat::convertTimeStampToString(std::uint32_t timeStamp, char* out) const
{
    if (!m_showTime) {
        return 0;
    }
    char* p = out;
    if (m_timeFormat == TimeFormatInteger) {
        p = writeDecimal(p, timeStamp, 12);
    } else {
        p = writeDecimal(p, timeStamp / 3600000u, 2);
        *p++ = ':';
        p = writeDecimal(p, (timeStamp % 3600000u) / 60000u, 2);
        *p++ = ':';
        p = writeDecimal(p, (timeStamp / 1000u) % 60u, 2);
        *p++ = ':';
        p = writeDecimal(p, timeStamp % 1000u, 3);
    }
    *p++ = ' ';
    return int(p - out);
}

int MonitorLineFormat::convertPortGroupIdStringFrom(unsigned int portGroup, char* out) const
{
    if (!m_showDetail) {
        return 0;
    }
    char* p = writeText(out, "Port");
    p = writeDecimal(p, std::uint64_t(portGroup) + 1, 1);
    *p++ = ' ';
    return int(p - out);
}

int MonitorLineFormat::convertMessageTypeStringFrom(unsigned int eventType, char* out) const
{
    if (!m_showDetail) {
        return 0;
    }
    const unsigned int index = std::min(eventType, unsigned(UnparsedEventType));
    char* p = writeText(out, MessageType[index]);
    *p++ = ' ';
    return int(p - out);
}

int MonitorLineFormat::extractDetailedInfoFrom(const unsigned char* data, unsigned int eventType,
                                               std::size_t size, char* out) const
{
    if (!m_showDetail || size != 3) {
        return 0;
    }
    const unsigned char second = data[1];
    char* p = out;
    if (eventType == 0 || eventType == 1) {
        *p++ = '[';
        p = writeText(p, OctaveNoteList[second % OctaveNoteCount]);
        const int octave = second / 12 + m_middleC - 2;
        if (octave < 0) {
            *p++ = '-';
        }
        p = writeDecimal(p, std::uint64_t(octave < 0 ? -octave : octave), 1);
        *p++ = ']';
    } else if (eventType == 3 && second < ControlChangeNameCount) {
        *p++ = '[';
        p = writeText(p, ControlChangeNameList[second]);
        *p++ = ']';
    }
    return int(p - out);
}

bool MonitorLineFormat::convertDisplayFormatFromMidiData(QByteArray& out, const unsigned char* data,
                                                         std::size_t size, bool breakBeforeStatus)
{
    if (size == 0) {
        return false;
    }
    std::size_t length = size * 3 - 1;
    if (breakBeforeStatus) {
        length += std::size_t(std::count_if(data, data + size, isLineStartingStatus));
    }
    const int start = out.size();
    out.resize(start + int(length));
    char* p = out.data() + start;
    for (std::size_t i = 0; i < size; ++i) {
        if (breakBeforeStatus && isLineStartingStatus(data[i])) {
            *p++ = '\n';
        }
        p = writeHexByte(p, data[i]);
        if (i + 1 < size) {
            *p++ = ' ';
        }
    }
    return true;
}

void MonitorLineFormat::appendMonitorLine(QByteArray& out, const unsigned char* data, std::size_t size,
                                          unsigned int eventType, std::uint32_t timeStamp,
                                          unsigned int portGroup) const
{
    char head[1 + 3 * MaximumFieldLength];
    int headLength = 0;
    head[headLength++] = '\n';
    headLength += convertTimeStampToString(timeStamp, head + headLength);
    headLength += convertPortGroupIdStringFrom(portGroup, head + headLength);
    headLength += convertMessageTypeStringFrom(eventType, head + headLength);
    char detail[MaximumFieldLength];
    const int detailLength = extractDetailedInfoFrom(data, eventType, size, detail);

    out.append(head, headLength);
    convertDisplayFormatFromMidiData(out, data, size, false);
    if (detailLength > 0) {
        out.append(' ');
        out.append(detail, detailLength);
    }
}
