#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>
#include <QString>

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
// It doubles as the test service: endpoints can be added, removed and renamed at run time,
// property reads, connections and sends made to fail, and the host clock replaced.
class LoopbackMidiService : public MidiService {
public:
    enum class Endpoints { Default, None };
    enum class Property { DisplayName, Name, UniqueId };

    explicit LoopbackMidiService(Endpoints endpoints = Endpoints::Default);
    ~LoopbackMidiService() override;

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

    // Test-double controls. An empty name means "same as the display name". A destination
    // delivers what is sent to it from loopSource, if that is given and still exists.
    MidiEndpointRef addSource(const QString& displayName, const QString& name = QString());
    MidiEndpointRef addDestination(const QString& displayName, const QString& name = QString(),
                                   MidiEndpointRef loopSource = MidiNullRef);
    bool removeEndpoint(MidiEndpointRef endpoint);
    bool renameEndpoint(MidiEndpointRef endpoint, const QString& displayName, const QString& name = QString());
    void setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails);
    void setConnectFails(bool fails);
    void setSendFails(bool fails);
    // Replaces the host clock (nanoseconds); an empty function restores the steady clock.
    void setHostClock(std::function<std::uint64_t()> clock);

    // Delivers a packet list from a source as if a device had sent it.
    bool injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets, std::uint64_t hostTime = 0);
    // Waits until everything sent or injected so far has been handed to the read procedures.
    bool waitUntilDelivered(int timeoutMilliseconds);

    int connectionCount() const;
    int sendCount() const;
    QList<QByteArray> sentMessages(MidiEndpointRef destination) const;

private:
    struct Endpoint {
        MidiEndpointRef ref;
        bool isSource;
        QString displayName;
        QString name;
        std::int32_t uniqueId;
        MidiEndpointRef loopSource;
        bool displayNameFails = false;
        bool nameFails = false;
        bool uniqueIdFails = false;
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
        std::vector<QByteArray> packets;
    };

    MidiEndpointRef addEndpoint(bool isSource, const QString& displayName, const QString& name,
                                MidiEndpointRef loopSource);
    Endpoint* findEndpoint(MidiEndpointRef ref);
    MidiEndpointRef endpointAt(bool isSource, unsigned int index) const;
    unsigned int endpointCount(bool isSource) const;
    // After a connection or port went away: waits out a read procedure that may still be
    // running for it, unless called from the delivery thread itself.
    void waitForDeliveryInProgress(std::unique_lock<std::mutex>& lock);
    void deliveryLoop();

    mutable std::mutex m_mutex;
    std::condition_variable m_queueCondition;      // a delivery was queued, or stop
    std::condition_variable m_deliveredCondition;  // a delivery finished
    std::deque<Delivery> m_queue;
    bool m_delivering = false;
    std::uint64_t m_deliveriesFinished = 0;
    bool m_stop = false;

    std::vector<Endpoint> m_endpoints;  // in index order within each direction
    std::map<MidiObjectRef, Port> m_ports;
    std::vector<MidiClientRef> m_clients;
    std::vector<Connection> m_connections;
    MidiObjectRef m_nextRef = 1;
    std::int32_t m_nextUniqueId = 0x10000;
    bool m_connectFails = false;
    bool m_sendFails = false;
    int m_sendCount = 0;

    std::mutex m_clockMutex;
    std::function<std::uint64_t()> m_clock;

    std::thread m_thread;
};
