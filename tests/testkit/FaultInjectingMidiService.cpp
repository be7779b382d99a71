#include "testkit/FaultInjectingMidiService.h"

#include "midi/loopback/LoopbackMidiService.h"

#include <algorithm>

namespace {
constexpr MidiStatus Ok = 0;
constexpr MidiStatus Failed = 1;
// Far from what any service hands out, and below InvalidPortRef.
constexpr MidiEndpointRef FirstAddedRef = 0xF0000000;
constexpr std::int32_t FirstAddedUniqueId = 0x70000000;
}

FaultInjectingMidiService::FaultInjectingMidiService()
    : FaultInjectingMidiService(std::make_unique<LoopbackMidiService>())
{
}

FaultInjectingMidiService::FaultInjectingMidiService(std::unique_ptr<MidiService> service)
    : m_service(std::move(service)), m_nextAddedRef(FirstAddedRef), m_nextUniqueId(FirstAddedUniqueId)
{
}

FaultInjectingMidiService::~FaultInjectingMidiService() = default;

MidiStatus FaultInjectingMidiService::createClient(const QString& name, MidiClientRef* client)
{
    return m_service->createClient(name, client);
}

MidiStatus FaultInjectingMidiService::disposeClient(MidiClientRef client)
{
    const MidiStatus status = m_service->disposeClient(client);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto port = m_ports.begin(); port != m_ports.end();) {
        if (port->second.client == client) {
            const MidiPortRef ref = port->first;
            forgetConnections([ref](const Connection& c) { return c.port == ref; });
            port = m_ports.erase(port);
        } else {
            ++port;
        }
    }
    return status;
}

MidiStatus FaultInjectingMidiService::createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                                      void* readProcRefCon, MidiPortRef* port)
{
    const MidiStatus status = m_service->createInputPort(client, name, readProc, readProcRefCon, port);
    if (status == Ok) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ports[*port] = Port{client, readProc, readProcRefCon};
    }
    return status;
}

MidiStatus FaultInjectingMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    const MidiStatus status = m_service->createOutputPort(client, name, port);
    if (status == Ok) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_ports[*port] = Port{client, nullptr, nullptr};
    }
    return status;
}

MidiStatus FaultInjectingMidiService::disposePort(MidiObjectRef object)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (isAdded(object)) {
            return Ok;
        }
    }
    const MidiStatus status = m_service->disposePort(object);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_ports.erase(object) != 0) {
        forgetConnections([object](const Connection& c) { return c.port == object; });
    }
    return status;
}

unsigned int FaultInjectingMidiService::getNumberOfSources()
{
    return unsigned(listed(true).size());
}

MidiEndpointRef FaultInjectingMidiService::getSource(unsigned int index)
{
    const std::vector<MidiEndpointRef> sources = listed(true);
    return index < sources.size() ? sources[index] : InvalidPortRef;
}

unsigned int FaultInjectingMidiService::getNumberOfDestinations()
{
    return unsigned(listed(false).size());
}

MidiEndpointRef FaultInjectingMidiService::getDestination(unsigned int index)
{
    const std::vector<MidiEndpointRef> destinations = listed(false);
    return index < destinations.size() ? destinations[index] : InvalidPortRef;
}

MidiStatus FaultInjectingMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property,
                                                        QString* value)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_endpoints.find(endpoint);
        if (found != m_endpoints.end()) {
            const Endpoint& e = found->second;
            const bool displayName = property == MidiStringProperty::DisplayName;
            if (e.removed || (displayName ? e.displayNameFails : e.nameFails)) {
                return Failed;
            }
            if (e.added || e.renamed) {
                *value = displayName ? e.displayName : e.name;
                return Ok;
            }
        }
    }
    return m_service->getStringProperty(endpoint, property, value);
}

MidiStatus FaultInjectingMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property,
                                                         std::int32_t* value)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto found = m_endpoints.find(endpoint);
        if (found != m_endpoints.end()) {
            const Endpoint& e = found->second;
            if (e.removed || e.uniqueIdFails) {
                return Failed;
            }
            if (e.added) {
                *value = e.uniqueId;
                return Ok;
            }
        }
    }
    return m_service->getIntegerProperty(endpoint, property, value);
}

MidiStatus FaultInjectingMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto foundPort = m_ports.find(port);
        if (m_connectFails || isRemoved(source) || foundPort == m_ports.end() || foundPort->second.readProc == nullptr) {
            return Failed;
        }
        added = isAdded(source);
        if (added && !m_endpoints.at(source).isSource) {
            return Failed;
        }
    }
    if (!added && m_service->connectSource(port, source, srcConnRefCon) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Connection& connection : m_connections) {
        if (connection.port == port && connection.source == source) {
            connection.srcConnRefCon = srcConnRefCon;
            return Ok;
        }
    }
    m_connections.push_back(Connection{port, source, srcConnRefCon});
    return Ok;
}

MidiStatus FaultInjectingMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        added = isAdded(source);
        if (added) {
            const auto before = m_connections.size();
            forgetConnections([&](const Connection& c) { return c.port == port && c.source == source; });
            return m_connections.size() != before ? Ok : Failed;
        }
    }
    const MidiStatus status = m_service->disconnectSource(port, source);
    if (status == Ok) {
        std::lock_guard<std::mutex> lock(m_mutex);
        forgetConnections([&](const Connection& c) { return c.port == port && c.source == source; });
    }
    return status;
}

MidiStatus FaultInjectingMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    MidiPacket stamped = packet;
    {
        std::lock_guard<std::mutex> lock(m_clockMutex);
        if (m_clock && stamped.hostTime == 0) {
            stamped.hostTime = m_clock();
        }
    }
    const QByteArray bytes(reinterpret_cast<const char*>(packet.data), packet.data != nullptr ? packet.length : 0);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_sendFails || isRemoved(destination)) {
            return Failed;
        }
        if (isAdded(destination)) {
            Endpoint& e = m_endpoints.at(destination);
            const auto foundPort = m_ports.find(port);
            if (e.isSource || foundPort == m_ports.end() || foundPort->second.readProc != nullptr) {
                return Failed;
            }
            e.sent.append(bytes);
            ++m_sendCount;
            return Ok;
        }
    }
    if (m_service->send(port, destination, stamped) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    endpoint(destination).sent.append(bytes);
    ++m_sendCount;
    return Ok;
}

std::uint64_t FaultInjectingMidiService::hostTimeNanos()
{
    {
        std::lock_guard<std::mutex> lock(m_clockMutex);
        if (m_clock) {
            return m_clock();
        }
    }
    return m_service->hostTimeNanos();
}

MidiEndpointRef FaultInjectingMidiService::addSource(const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(true, displayName, name);
}

MidiEndpointRef FaultInjectingMidiService::addDestination(const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(false, displayName, name);
}

bool FaultInjectingMidiService::removeEndpoint(MidiEndpointRef ref)
{
    std::vector<MidiEndpointRef> known = listed(true);
    const std::vector<MidiEndpointRef> destinations = listed(false);
    known.insert(known.end(), destinations.begin(), destinations.end());
    if (std::find(known.begin(), known.end(), ref) == known.end()) {
        return false;
    }
    return hide(ref);
}

void FaultInjectingMidiService::removeServiceEndpoints()
{
    std::vector<MidiEndpointRef> refs;
    for (unsigned int i = 0; i < m_service->getNumberOfSources(); ++i) {
        refs.push_back(m_service->getSource(i));
    }
    for (unsigned int i = 0; i < m_service->getNumberOfDestinations(); ++i) {
        refs.push_back(m_service->getDestination(i));
    }
    for (MidiEndpointRef ref : refs) {
        hide(ref);
    }
}

bool FaultInjectingMidiService::renameEndpoint(MidiEndpointRef ref, const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (isRemoved(ref)) {
        return false;
    }
    Endpoint& e = endpoint(ref);
    e.renamed = true;
    e.displayName = displayName;
    e.name = name.isEmpty() ? displayName : name;
    return true;
}

void FaultInjectingMidiService::setPropertyReadFails(MidiEndpointRef ref, Property property, bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Endpoint& e = endpoint(ref);
    switch (property) {
    case Property::DisplayName:
        e.displayNameFails = fails;
        break;
    case Property::Name:
        e.nameFails = fails;
        break;
    case Property::UniqueId:
        e.uniqueIdFails = fails;
        break;
    }
}

void FaultInjectingMidiService::setConnectFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connectFails = fails;
}

void FaultInjectingMidiService::setSendFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sendFails = fails;
}

void FaultInjectingMidiService::setHostClock(std::function<std::uint64_t()> clock)
{
    std::lock_guard<std::mutex> lock(m_clockMutex);
    m_clock = std::move(clock);
}

bool FaultInjectingMidiService::injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets,
                                              std::uint64_t hostTime)
{
    struct Target {
        MidiReadProc readProc;
        void* readProcRefCon;
        void* srcConnRefCon;
    };
    std::vector<Target> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (isRemoved(source) || (isAdded(source) && !m_endpoints.at(source).isSource)) {
            return false;
        }
        for (const Connection& connection : m_connections) {
            if (connection.source == source) {
                const Port& port = m_ports.at(connection.port);
                targets.push_back(Target{port.readProc, port.readProcRefCon, connection.srcConnRefCon});
            }
        }
    }
    std::vector<MidiPacket> list;
    for (const QByteArray& bytes : packets) {
        list.push_back(MidiPacket{hostTime, std::uint16_t(bytes.size()),
                                  reinterpret_cast<const unsigned char*>(bytes.constData())});
    }
    for (const Target& target : targets) {
        target.readProc(list.data(), unsigned(list.size()), target.readProcRefCon, target.srcConnRefCon);
    }
    return true;
}

int FaultInjectingMidiService::connectionCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_connections.size());
}

int FaultInjectingMidiService::sendCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sendCount;
}

QList<QByteArray> FaultInjectingMidiService::sentMessages(MidiEndpointRef destination) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_endpoints.find(destination);
    return found != m_endpoints.end() ? found->second.sent : QList<QByteArray>();
}

std::vector<MidiEndpointRef> FaultInjectingMidiService::listed(bool sources)
{
    std::vector<MidiEndpointRef> refs;
    const unsigned int count = sources ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        refs.push_back(sources ? m_service->getSource(i) : m_service->getDestination(i));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    refs.erase(std::remove_if(refs.begin(), refs.end(), [this](MidiEndpointRef ref) { return isRemoved(ref); }),
               refs.end());
    for (MidiEndpointRef ref : m_addedOrder) {
        const Endpoint& e = m_endpoints.at(ref);
        if (e.isSource == sources && !e.removed) {
            refs.push_back(ref);
        }
    }
    return refs;
}

FaultInjectingMidiService::Endpoint& FaultInjectingMidiService::endpoint(MidiEndpointRef ref)
{
    return m_endpoints[ref];
}

bool FaultInjectingMidiService::isAdded(MidiEndpointRef ref) const
{
    const auto found = m_endpoints.find(ref);
    return found != m_endpoints.end() && found->second.added;
}

bool FaultInjectingMidiService::isRemoved(MidiEndpointRef ref) const
{
    const auto found = m_endpoints.find(ref);
    return found != m_endpoints.end() && found->second.removed;
}

MidiEndpointRef FaultInjectingMidiService::addEndpoint(bool isSource, const QString& displayName, const QString& name)
{
    const MidiEndpointRef ref = m_nextAddedRef++;
    Endpoint& e = m_endpoints[ref];
    e.added = true;
    e.isSource = isSource;
    e.displayName = displayName;
    e.name = name.isEmpty() ? displayName : name;
    e.uniqueId = m_nextUniqueId++;
    m_addedOrder.push_back(ref);
    return ref;
}

void FaultInjectingMidiService::forgetConnections(const std::function<bool(const Connection&)>& matches)
{
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), matches), m_connections.end());
}

bool FaultInjectingMidiService::hide(MidiEndpointRef ref)
{
    std::vector<Connection> gone;
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        Endpoint& e = endpoint(ref);
        if (e.removed) {
            return false;
        }
        e.removed = true;
        added = e.added;
        for (const Connection& connection : m_connections) {
            if (connection.source == ref) {
                gone.push_back(connection);
            }
        }
        forgetConnections([ref](const Connection& c) { return c.source == ref; });
    }
    // A device that vanished sends nothing more.
    if (!added) {
        for (const Connection& connection : gone) {
            m_service->disconnectSource(connection.port, connection.source);
        }
    }
    return true;
}
