// Events converted to and from bytes, and a parser fed delivery by delivery.
#pragma once

#include "testkit/Hex.h"

#include "small/MidiLibrary/midilib_data.h"
#include "small/MidiLibrary/midilib_event.h"
#include "small/MidiLibrary/midilib_parser.h"

#include <QByteArray>
#include <QList>

#include <memory>

// The message bytes that midilib_eventToData writes for event.
inline QByteArray eventBytes(const MIDILIB_Event &event)
{
    auto data = std::make_unique<MIDILIB_Data>();
    midilib_eventToData(&event, data.get());
    return QByteArray(reinterpret_cast<const char *>(midilib_data_getMemory(data.get())),
                      int(midilib_data_getSize(data.get())));
}

// Bytes to an event; the conversion result goes to result when given.
inline std::unique_ptr<MIDILIB_Event> eventFromBytes(const QByteArray &message, int *result = nullptr)
{
    auto event = std::make_unique<MIDILIB_Event>();
    const int r = midilib_dataToEvent(reinterpret_cast<const uint8_t *>(message.constData()),
                                      uint64_t(message.size()), event.get());
    if (result) {
        *result = r;
    }
    return event;
}

// A parser on the heap (its record holds a 16 KiB buffer) that collects every message it produces,
// converted back to bytes.
class ParserFeed
{
public:
    ParserFeed() : m_parser(std::make_unique<MIDILIB_Parser>()), m_event(std::make_unique<MIDILIB_Event>())
    {
        midilib_parser_init(m_parser.get());
    }

    // Parses one delivery to its end; returns the messages it completed.
    QList<QByteArray> deliver(const QByteArray &delivery)
    {
        QList<QByteArray> messages;
        midilib_parser_setData(m_parser.get(), reinterpret_cast<const uint8_t *>(delivery.constData()),
                               uint64_t(delivery.size()));
        while (midilib_parser_parse(m_parser.get(), m_event.get()) == 0) {
            messages.append(eventBytes(*m_event));
        }
        return messages;
    }

    MIDILIB_Parser *parser() { return m_parser.get(); }

private:
    std::unique_ptr<MIDILIB_Parser> m_parser;
    std::unique_ptr<MIDILIB_Event> m_event;
};
