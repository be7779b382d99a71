#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// Decorates any MidiService with what only tests need: endpoints added (listed last) and removed, failing
// property reads, connections and sends, a replaced host clock, injected packets, a record of sends.
class FaultInjectingMidiService final : public MidiService {
public:
    enum class Property { DisplayName, Name, UniqueId };

    // Over a Loopback service of its own.
    FaultInjectingMidiService();
    explicit FaultInjectingMidiService(std::unique_ptr<MidiService> service);
    ~FaultInjectingMidiService() override;

    MidiStatus createClient(const QString& name, MidiClientRef* client) override
    {
        return m_service->createClient(name, client);
    }
    MidiStatus disposeClient(MidiClientRef client) override;
    MidiStatus createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc, void* readProcRefCon,
                               MidiPortRef* port) override;
    MidiStatus createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port) override;
    MidiStatus disposePort(MidiObjectRef object) override;
    unsigned int getNumberOfSources() override { return unsigned(listed(true).size()); }
    MidiEndpointRef getSource(unsigned int index) override { return at(listed(true), index); }
    unsigned int getNumberOfDestinations() override { return unsigned(listed(false).size()); }
    MidiEndpointRef getDestination(unsigned int index) override { return at(listed(false), index); }
    MidiStatus getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value) override;
    MidiStatus getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property, std::int32_t* value) override;
    MidiStatus connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon) override;
    MidiStatus disconnectSource(MidiPortRef port, MidiEndpointRef source) override;
    MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination) override
    {
        const Endpoint e = known(destination);
        return e.removed ? 1 : e.added ? 0 : m_service->connectDestination(port, destination);
    }
    MidiStatus disconnectDestination(MidiPortRef port, MidiEndpointRef destination) override
    {
        return known(destination).added ? 0 : m_service->disconnectDestination(port, destination);
    }
    // With the host clock replaced, an unstamped packet (and what a loop delivers) carries its time.
    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;
    std::uint64_t hostTimeNanos() override;

    // An empty name means the display name; what is sent to an added destination is only recorded.
    MidiEndpointRef addSource(const QString& displayName, const QString& name = {}) { return add(true, displayName, name); }
    MidiEndpointRef addDestination(const QString& displayName, const QString& name = {}) { return add(false, displayName, name); }
    bool removeEndpoint(MidiEndpointRef endpoint);
    // Removes every endpoint the decorated service lists now.
    void removeServiceEndpoints();
    void setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails);
    void setConnectFails(bool fails) { m_connectFails = fails; }
    void setSendFails(bool fails) { m_sendFails = fails; }
    // Nanoseconds; an empty function restores the service's own clock.
    void setHostClock(std::function<std::uint64_t()> clock);

    // Calls the read procedures connected to source on this thread, with the packets as one list; no
    // other thread may disconnect that source meanwhile. False for an unknown or removed source.
    bool injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets, std::uint64_t hostTime = 0);
    bool injectPackets(MidiEndpointRef source, const std::vector<MidiPacket>& packets);

    int connectionCount() const;
    int sendCount() const { return m_sendCount; }
    QList<QByteArray> sentMessages(MidiEndpointRef destination) const;

private:
    struct Endpoint {
        bool added = false;  // one of ours rather than the decorated service's
        bool isSource = false;
        bool removed = false;
        QString displayName, name;
        bool readFails[3] = {};  // by Property
        QList<QByteArray> sent;
    };
    struct Port {
        MidiClientRef client;
        MidiReadProc readProc;  // null for an output port
        void* readProcRefCon;
    };
    struct Connection {
        MidiPortRef port;
        MidiEndpointRef source;
        void* srcConnRefCon;
    };

    static MidiEndpointRef at(const std::vector<MidiEndpointRef>& refs, unsigned int index)
    {
        return index < refs.size() ? refs[index] : InvalidPortRef;
    }
    std::vector<MidiEndpointRef> serviceEndpoints(bool sources);
    std::vector<MidiEndpointRef> listed(bool sources);
    MidiEndpointRef add(bool isSource, const QString& displayName, const QString& name);
    // What this object knows of the endpoint; a default one for a service endpoint never touched.
    Endpoint known(MidiEndpointRef ref) const;
    // Whether port was made through this object as an input (or output) port.
    bool isPort(MidiPortRef port, bool input) const;
    MidiStatus remember(MidiStatus status, MidiPortRef port, Port entry);
    std::function<std::uint64_t()> clock() const;
    // With m_mutex held: forgets the connections that match and returns them.
    std::vector<Connection> forget(const std::function<bool(const Connection&)>& matches);

    std::unique_ptr<MidiService> m_service;
    mutable std::mutex m_mutex;
    // Added endpoints get consecutive references, so they are listed in the order they came.
    std::map<MidiEndpointRef, Endpoint> m_endpoints;
    int m_addedCount = 0;
    std::map<MidiPortRef, Port> m_ports;
    std::vector<Connection> m_connections;
    std::atomic<bool> m_connectFails{false};
    std::atomic<bool> m_sendFails{false};
    std::atomic<int> m_sendCount{0};
    std::function<std::uint64_t()> m_clock;  // under m_mutex
};
