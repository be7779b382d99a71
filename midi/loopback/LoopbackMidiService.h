#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

// A MIDI service without any MIDI system: what is sent to destination "Loopback A" arrives from
// source "Loopback A" (likewise "Loopback B"). Delivery runs on the service's own thread, never
// inside send, because a thru send may come from a delivery thread that holds the analyzer.
//
// It is also the test double of every layer above the service: endpoints added and removed
// (vanished) at run time, property reads, connections and sends that fail, a replaced host
// clock, packets injected from a source as if a device had sent them, and a record of what was
// sent. Added endpoints are listed after the loops; what is sent to an added destination is only
// recorded. A removed endpoint is no longer listed, its properties cannot be read, and the
// connections to it are gone.
class LoopbackMidiService final : public MidiService {
public:
    enum class Property { DisplayName, Name, UniqueId };

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
    MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination) override;

    // A packet sent while the host clock is replaced carries that clock's time.
    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;

    std::uint64_t hostTimeNanos() override;

    // An empty name means "same as the display name".
    MidiEndpointRef addSource(const QString& displayName, const QString& name = QString());
    MidiEndpointRef addDestination(const QString& displayName, const QString& name = QString());
    // False for an endpoint that is not listed.
    bool removeEndpoint(MidiEndpointRef endpoint);
    // Removes the loops' endpoints.
    void removeServiceEndpoints();
    void setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails);
    void setConnectFails(bool fails);
    void setSendFails(bool fails);
    // Replaces the host clock (nanoseconds); an empty function restores the steady clock.
    void setHostClock(std::function<std::uint64_t()> clock);
    // Calls, on the calling thread, the read procedure of every input port connected to source
    // with the packets as one list. The caller must not disconnect that source from another
    // thread meanwhile. False for a source that is not listed.
    bool injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets, std::uint64_t hostTime = 0);
    int connectionCount();
    // Successful sends, and the messages each destination was sent.
    int sendCount();
    QList<QByteArray> sentMessages(MidiEndpointRef destination);

private:
    struct Endpoint {
        MidiEndpointRef ref;
        bool isSource;
        QString displayName;
        QString name;
        std::int32_t uniqueId;
        MidiEndpointRef loopSource;  // where what is sent to a loop's destination arrives from
        bool removed = false;
        bool readFails[3] = {};  // by Property
        QList<QByteArray> sent;
    };
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
    // The rest expect m_mutex held. Listed endpoints only.
    Endpoint* find(MidiEndpointRef ref, bool isSource);
    std::vector<MidiEndpointRef> listed(bool sources) const;
    MidiEndpointRef addEndpoint(bool isSource, const QString& displayName, const QString& name);
    MidiStatus readProperty(MidiEndpointRef ref, Property property, const std::function<void(const Endpoint&)>& read);

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
    std::vector<Endpoint> m_endpoints;  // in the order they are listed
    MidiObjectRef m_nextRef;
    bool m_connectFails = false;
    bool m_sendFails = false;
    int m_sendCount = 0;

    std::mutex m_clockMutex;
    std::function<std::uint64_t()> m_clock;

    std::thread m_thread;
};
