#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>

// Shared by the tests of the real MIDI services: message builders, a read procedure that records
// what a service delivers, and the program's client with one input and one output port.

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray result;
    for (int value : values) {
        result.append(char(value));
    }
    return result;
}

// F0, length - 2 data bytes that differ from their neighbours, F7.
inline QByteArray sysEx(int length)
{
    QByteArray result(length, '\0');
    result[0] = char(0xF0);
    for (int i = 1; i < length - 1; ++i) {
        result[i] = char((i * 7) & 0x7F);
    }
    result[length - 1] = char(0xF7);
    return result;
}

// One message of every kind the MIDI library knows besides system exclusive; the second note
// uses running status, so it only reads right if the delivery before it was kept.
inline QList<QByteArray> everyMessageKind()
{
    return {bytes({0x90, 0x3C, 0x64}), bytes({0x3E, 0x64}), bytes({0x80, 0x3C, 0x00}), bytes({0xA1, 0x3C, 0x10}),
            bytes({0xB2, 0x07, 0x7F}), bytes({0xC3, 0x05}), bytes({0xD4, 0x22}), bytes({0xE5, 0x00, 0x40}),
            bytes({0xF1, 0x21}), bytes({0xF2, 0x10, 0x20}), bytes({0xF3, 0x03}), bytes({0xF6}), bytes({0xFA}),
            bytes({0xFB}), bytes({0xFC}), bytes({0xFE}), bytes({0xFF})};
}

class ReadProcRecorder {
public:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon)
    {
        auto* self = static_cast<ReadProcRecorder*>(readProcRefCon);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->m_bytes.append(reinterpret_cast<const char*>(packets[i].data), packets[i].length);
            self->m_timesStamped = self->m_timesStamped && packets[i].hostTime != 0;
        }
        self->m_contexts.append(srcConnRefCon);
        self->m_changed.notify_all();
    }

    bool waitForBytes(int count, int timeoutMs = 30000)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_bytes.size() >= count; });
    }
    QByteArray received()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    // What arrived so far; waitForBytes then counts from here.
    QByteArray take()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QByteArray taken;
        taken.swap(m_bytes);
        return taken;
    }
    // The connection context of every delivery.
    QList<void*> contexts()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_contexts;
    }
    bool timesStamped()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_timesStamped;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArray m_bytes;
    QList<void*> m_contexts;
    bool m_timesStamped = true;
};

// A read procedure that records how many packets arrived and can be held inside its call until
// the test lets it go.
class HeldReader {
public:
    static void readProc(const MidiPacket*, unsigned int count, void* readProcRefCon, void*)
    {
        auto* self = static_cast<HeldReader*>(readProcRefCon);
        std::unique_lock<std::mutex> lock(self->m_mutex);
        self->m_packets += int(count);
        self->m_inside = true;
        self->m_changed.notify_all();
        self->m_changed.wait(lock, [self] { return !self->m_held; });
        self->m_inside = false;
        ++self->m_finishedCalls;
        self->m_changed.notify_all();
    }

    void setHeld(bool held)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_held = held;
        m_changed.notify_all();
    }
    bool waitUntilInside() { return waitUntil([this] { return m_inside; }); }
    bool waitForPackets(int count) { return waitUntil([&] { return m_packets >= count && !m_inside; }); }
    int finishedCalls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finishedCalls;
    }

private:
    template <class Condition>
    bool waitUntil(Condition condition)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), condition);
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_inside = false;
    int m_packets = 0;
    int m_finishedCalls = 0;
};

struct ServicePorts {
    // False when the client or a port could not be made.
    bool open(MidiService& service)
    {
        this->service = &service;
        return service.createClient(QStringLiteral("ClientName"), &client) == 0 &&
               service.createInputPort(client, QStringLiteral("InputPort"), &ReadProcRecorder::readProc, &recorder,
                                       &input) == 0 &&
               service.createOutputPort(client, QStringLiteral("OutputPort"), &output) == 0;
    }

    MidiStatus send(MidiEndpointRef destination, const QByteArray& message)
    {
        const MidiPacket packet{0, std::uint16_t(message.size()), reinterpret_cast<const unsigned char*>(message.constData())};
        return service->send(output, destination, packet);
    }

    MidiService* service = nullptr;
    ReadProcRecorder recorder;
    MidiClientRef client = InvalidPortRef;
    MidiPortRef input = InvalidPortRef;
    MidiPortRef output = InvalidPortRef;
};
