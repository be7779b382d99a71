#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

// Decorates any MidiService with what only tests need: endpoints added, removed (vanished) and
// renamed at run time, property reads, connections and sends that fail, a replaced host clock,
// packets injected from a source as if a device had sent them, and a record of what was sent.
// Everything else is passed to the decorated service, so the port layer can be tested over
// every service.
//
// Added endpoints are listed after the decorated service's own. A removed endpoint of the
// decorated service is hidden: it is no longer listed, its properties cannot be read, and the
// connections made to it through this object are disconnected.
class FaultInjectingMidiService final : public MidiService {
public:
    enum class Property { DisplayName, Name, UniqueId };

    // Over a Loopback service of its own.
    FaultInjectingMidiService();
    explicit FaultInjectingMidiService(std::unique_ptr<MidiService> service);
    ~FaultInjectingMidiService() override;

    MidiService& decorated() { return *m_service; }

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
    // Passed on for the decorated service's destinations; nothing to do for added ones.
    MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination) override;
    MidiStatus disconnectDestination(MidiPortRef port, MidiEndpointRef destination) override;

    // A packet sent while the host clock is replaced carries that clock's time, so that what a
    // loop delivers is stamped by it too.
    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;

    std::uint64_t hostTimeNanos() override;

    // An empty name means "same as the display name". What is sent to an added destination is
    // only recorded.
    MidiEndpointRef addSource(const QString& displayName, const QString& name = QString());
    MidiEndpointRef addDestination(const QString& displayName, const QString& name = QString());
    bool removeEndpoint(MidiEndpointRef endpoint);
    // Removes every endpoint the decorated service lists now.
    void removeServiceEndpoints();
    void setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails);
    void setConnectFails(bool fails);
    void setSendFails(bool fails);
    // Replaces the host clock (nanoseconds); an empty function restores the service's own.
    void setHostClock(std::function<std::uint64_t()> clock);

    // Calls, on the calling thread, the read procedure of every input port connected to source
    // through this object with the packets as one list. The caller must not disconnect that
    // source from another thread meanwhile. False for an unknown or removed source.
    bool injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets, std::uint64_t hostTime = 0);
    // The same with packets as a service hands them over, each with a host time of its own.
    bool injectPackets(MidiEndpointRef source, const std::vector<MidiPacket>& packets);

    int connectionCount() const;
    // Successful sends, and the messages each destination was sent.
    int sendCount() const;
    QList<QByteArray> sentMessages(MidiEndpointRef destination) const;

private:
    struct Endpoint {
        bool added = false;  // one of ours rather than the decorated service's
        bool isSource = false;
        bool removed = false;
        QString displayName;
        QString name;
        std::int32_t uniqueId = 0;
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

    std::vector<MidiEndpointRef> listed(bool sources);
    // The rest expect m_mutex held. A failed check of an endpoint answers "no such endpoint".
    const Endpoint* find(MidiEndpointRef ref) const;
    bool isAdded(MidiEndpointRef ref) const { return find(ref) && find(ref)->added; }
    bool isRemoved(MidiEndpointRef ref) const { return find(ref) && find(ref)->removed; }
    MidiEndpointRef addEndpoint(bool isSource, const QString& displayName, const QString& name);
    // Forgets the connections that match and returns them.
    std::vector<Connection> forget(const std::function<bool(const Connection&)>& matches);

    std::unique_ptr<MidiService> m_service;
    mutable std::mutex m_mutex;
    std::map<MidiEndpointRef, Endpoint> m_endpoints;  // added ones, and the service's that were touched
    std::vector<MidiEndpointRef> m_addedOrder;
    std::map<MidiPortRef, Port> m_ports;
    std::vector<Connection> m_connections;
    bool m_connectFails = false;
    bool m_sendFails = false;
    int m_sendCount = 0;

    std::mutex m_clockMutex;
    std::function<std::uint64_t()> m_clock;
};
