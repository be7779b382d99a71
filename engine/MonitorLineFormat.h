#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>

// The text of one monitor line and the hexadecimal text of received system exclusive messages.
// It writes straight into caller buffers: the analyzer formats every received message with it,
// on the delivery thread, so it allocates nothing per line beyond the growth of the target.
class MonitorLineFormat {
public:
    enum TimeFormat { TimeFormatClock = 0, TimeFormatInteger = 1 };

    // Longest field that convertTimeStampToString, convertPortGroupIdStringFrom,
    // convertMessageTypeStringFrom or extractDetailedInfoFrom writes.
    static constexpr int MaximumFieldLength = 40;

    void setShowTime(bool on) { m_showTime = on; }
    void setShowDetail(bool on) { m_showDetail = on; }
    // 0 names note 60 "C3", 1 "C4", 2 "C5"; other values are taken as the nearest of these.
    void setMiddleC(int middleC);
    // 1 shows integer milliseconds; any other value the clock format.
    void setTimeFormat(int format) { m_timeFormat = format == TimeFormatInteger ? TimeFormatInteger : TimeFormatClock; }

    bool showTime() const { return m_showTime; }
    bool showDetail() const { return m_showDetail; }
    int middleC() const { return m_middleC; }
    int timeFormat() const { return m_timeFormat; }

    // Each field writer writes its field with its trailing space (or nothing when switched off)
    // into out, which holds MaximumFieldLength characters, and returns the length written.
    int convertTimeStampToString(std::uint32_t timeStamp, char* out) const;
    int convertPortGroupIdStringFrom(unsigned int portGroup, char* out) const;
    int convertMessageTypeStringFrom(unsigned int eventType, char* out) const;
    // The note name or controller name of a 3-byte note or control change; 0 for anything else.
    int extractDetailedInfoFrom(const unsigned char* data, unsigned int eventType, std::size_t size,
                                char* out) const;

    // Appends the bytes as upper-case hexadecimal pairs separated by single spaces. With
    // breakBeforeStatus, every status byte other than F7 starts a new line. False for size 0.
    static bool convertDisplayFormatFromMidiData(QByteArray& out, const unsigned char* data, std::size_t size,
                                                 bool breakBeforeStatus);

    // Appends one monitor line: a line feed, time, port, type, the bytes and the detail.
    void appendMonitorLine(QByteArray& out, const unsigned char* data, std::size_t size, unsigned int eventType,
                           std::uint32_t timeStamp, unsigned int portGroup) const;

private:
    bool m_showTime = false;
    bool m_showDetail = false;
    int m_middleC = 0;
    int m_timeFormat = TimeFormatClock;
};
