#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>

#include <chrono>
#include <condition_variable>
#include <initializer_list>
#include <mutex>

// Shared by the MIDI service tests: message builders, recording and held read procedures, the program's ports.

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

// Bytes that arrive on other threads, kept until the test takes them; the wait gives up after 30 s.
class ReceivedBytes {
public:
    bool waitForBytes(int count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(30), [&] { return m_received.size() >= count; });
    }
    // What has arrived, which is then forgotten: waitForBytes counts from there.
    QByteArray takeReceived()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QByteArray taken;
        taken.swap(m_received);
        return taken;
    }

protected:
    ~ReceivedBytes() = default;
    void keep(const char* data, int size)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_received.append(data, size);
        m_arrived.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
};

// A read procedure that keeps what a service delivers and the connection context of each delivery.
class ReadProcRecorder : public ReceivedBytes {
public:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon)
    {
        auto* self = static_cast<ReadProcRecorder*>(readProcRefCon);
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            self->m_contexts.append(srcConnRefCon);
            for (unsigned int i = 0; i < count; ++i) {
                self->m_timesStamped = self->m_timesStamped && packets[i].hostTime != 0;
            }
        }
        for (unsigned int i = 0; i < count; ++i) {
            self->keep(reinterpret_cast<const char*>(packets[i].data), packets[i].length);
        }
    }

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
    QList<void*> m_contexts;
    bool m_timesStamped = true;
};

// A read procedure that can be held inside its call until the test lets it go.
class HeldReader {
public:
    static void readProc(const MidiPacket*, unsigned int, void* readProcRefCon, void*)
    {
        auto* self = static_cast<HeldReader*>(readProcRefCon);
        std::unique_lock<std::mutex> lock(self->m_mutex);
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
    bool waitUntilInside()
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(30), [this] { return m_inside; });
    }
    int finishedCalls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_finishedCalls;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_held = false;
    bool m_inside = false;
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
