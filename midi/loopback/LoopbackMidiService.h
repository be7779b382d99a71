#pragma once

#include "midi/MidiService.h"

#include <QByteArray>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// A MIDI service without any MIDI system: what is sent to destination "Loopback A" arrives from
// source "Loopback A" (likewise "Loopback B"). Delivery runs on the service's own thread, never
// inside send, because a thru send may come from a delivery thread that holds the analyzer.
class LoopbackMidiService final : public MidiService {
public:
    LoopbackMidiService();
    ~LoopbackMidiService() override;

    LoopbackMidiService(const LoopbackMidiService&) = delete;
    LoopbackMidiService& operator=(const LoopbackMidiService&) = delete;

    // Needs nothing from the system, so it is always there.
    bool isOpen() const { return true; }

    MidiStatus createClient(const QString& name, MidiClientRef* client) override;
    MidiStatus disposeClient(MidiClientRef client) override;
    MidiStatus createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc, void* readProcRefCon,
                               MidiPortRef* port) override;
    MidiStatus createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port) override;
    MidiStatus disposePort(MidiObjectRef object) override;

    unsigned int getNumberOfSources() override;
    MidiEndpointRef getSource(unsigned int index) override;
    unsigned int getNumberOfDestinations() override;
    MidiEndpointRef getDestination(unsigned int index) override;

    MidiStatus getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value) override;
    MidiStatus getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property, std::int32_t* value) override;

    MidiStatus connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon) override;
    MidiStatus disconnectSource(MidiPortRef port, MidiEndpointRef source) override;

    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;

    std::uint64_t hostTimeNanos() override;

private:
    struct Port {
        MidiClientRef client;
        bool isInput;
        MidiReadProc readProc;
        void* readProcRefCon;
    };
    struct Connection {
        MidiPortRef port;
        MidiEndpointRef source;
        void* srcConnRefCon;
    };
    struct Delivery {
        MidiEndpointRef source;
        std::uint64_t hostTime;
        QByteArray bytes;
    };

    // After a connection or port went away: waits out a read procedure that may still be
    // running for it, unless called from the delivery thread itself.
    void waitForDeliveryInProgress(std::unique_lock<std::mutex>& lock);
    void deliveryLoop();

    std::mutex m_mutex;
    std::condition_variable m_queueCondition;      // a delivery was queued, or stop
    std::condition_variable m_deliveredCondition;  // a delivery finished
    std::deque<Delivery> m_queue;
    bool m_delivering = false;
    std::uint64_t m_deliveriesFinished = 0;
    bool m_stop = false;

    std::map<MidiObjectRef, Port> m_ports;
    std::vector<MidiClientRef> m_clients;
    std::vector<Connection> m_connections;
    MidiObjectRef m_nextRef;

    std::thread m_thread;
};
