#include "testkit/FaultInjectingMidiService.h"

#include "midi/loopback/LoopbackMidiService.h"

#include <algorithm>
#include <iterator>

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
    : m_service(std::move(service))
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
    forget([&](const Connection& c) { return m_ports.at(c.port).client == client; });
    for (auto port = m_ports.begin(); port != m_ports.end();) {
        port = port->second.client == client ? m_ports.erase(port) : std::next(port);
    }
    return status;
}

MidiStatus FaultInjectingMidiService::createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                                      void* readProcRefCon, MidiPortRef* port)
{
    return portAdded(m_service->createInputPort(client, name, readProc, readProcRefCon, port), port,
                     Port{client, readProc, readProcRefCon});
}

MidiStatus FaultInjectingMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    return portAdded(m_service->createOutputPort(client, name, port), port, Port{client, nullptr, nullptr});
}

MidiStatus FaultInjectingMidiService::portAdded(MidiStatus status, MidiPortRef* port, Port entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (status == Ok) {
        m_ports[*port] = entry;
    }
    return status;
}

MidiStatus FaultInjectingMidiService::disposePort(MidiObjectRef object)
{
    const MidiStatus status = m_service->disposePort(object);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ports.erase(object);
    forget([object](const Connection& c) { return c.port == object; });
    return status;
}

MidiStatus FaultInjectingMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property,
                                                        QString* value)
{
    const bool displayName = property == MidiStringProperty::DisplayName;
    const int own = readOwn(endpoint, displayName ? Property::DisplayName : Property::Name,
                            [&](const Endpoint& e) { *value = displayName ? e.displayName : e.name; });
    return own >= 0 ? own : m_service->getStringProperty(endpoint, property, value);
}

MidiStatus FaultInjectingMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property,
                                                         std::int32_t* value)
{
    const int own = readOwn(endpoint, Property::UniqueId, [&](const Endpoint& e) { *value = e.uniqueId; });
    return own >= 0 ? own : m_service->getIntegerProperty(endpoint, property, value);
}

MidiStatus FaultInjectingMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    const Kind k = kind(source);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto input = m_ports.find(port);
        if (m_connectFails || k == Kind::Removed || k == Kind::AddedDestination || input == m_ports.end()
            || input->second.readProc == nullptr) {
            return Failed;
        }
    }
    if (!added(k) && m_service->connectSource(port, source, srcConnRefCon) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    forget([&](const Connection& c) { return c.port == port && c.source == source; });
    m_connections.push_back(Connection{port, source, srcConnRefCon});
    return Ok;
}

MidiStatus FaultInjectingMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    const bool own = added(kind(source));
    if (!own && m_service->disconnectSource(port, source) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasConnected = !forget([&](const Connection& c) { return c.port == port && c.source == source; }).empty();
    return own && !wasConnected ? Failed : Ok;
}

MidiStatus FaultInjectingMidiService::connectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    const Kind k = kind(destination);
    return k == Kind::Removed ? Failed : added(k) ? Ok : m_service->connectDestination(port, destination);
}

MidiStatus FaultInjectingMidiService::disconnectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    return added(kind(destination)) ? Ok : m_service->disconnectDestination(port, destination);
}

MidiStatus FaultInjectingMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    const Kind k = kind(destination);
    MidiPacket stamped = packet;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_clock && stamped.hostTime == 0) {
            stamped.hostTime = m_clock();
        }
        const auto output = m_ports.find(port);
        if (m_sendFails || packet.data == nullptr || k == Kind::Removed
            || (added(k) && (k == Kind::AddedSource || output == m_ports.end() || output->second.readProc))) {
            return Failed;
        }
    }
    if (!added(k) && m_service->send(port, destination, stamped) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoints[destination].sent.append(QByteArray(reinterpret_cast<const char*>(packet.data), packet.length));
    ++m_sendCount;
    return Ok;
}

std::uint64_t FaultInjectingMidiService::hostTimeNanos()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_clock) {
            return m_clock();
        }
    }
    return m_service->hostTimeNanos();
}

bool FaultInjectingMidiService::removeEndpoint(MidiEndpointRef ref)
{
    const std::vector<MidiEndpointRef> sources = listed(true), destinations = listed(false);
    if (std::count(sources.begin(), sources.end(), ref) + std::count(destinations.begin(), destinations.end(), ref) == 0) {
        return false;
    }
    std::vector<Connection> gone;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_endpoints[ref].removed = true;
        gone = forget([ref](const Connection& c) { return c.source == ref; });
    }
    // A device that vanished sends nothing more.
    for (const Connection& connection : gone) {
        if (ref < FirstAddedRef) {
            m_service->disconnectSource(connection.port, connection.source);
        }
    }
    return true;
}

void FaultInjectingMidiService::removeServiceEndpoints()
{
    for (const bool sources : {true, false}) {
        const unsigned int count = sources ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
        for (unsigned int i = 0; i < count; ++i) {
            removeEndpoint(sources ? m_service->getSource(i) : m_service->getDestination(i));
        }
    }
}

void FaultInjectingMidiService::setPropertyReadFails(MidiEndpointRef ref, Property property, bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoints[ref].readFails[int(property)] = fails;
}

void FaultInjectingMidiService::setHostClock(std::function<std::uint64_t()> clock)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clock = std::move(clock);
}

bool FaultInjectingMidiService::injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets,
                                              std::uint64_t hostTime)
{
    std::vector<MidiPacket> list;
    for (const QByteArray& bytes : packets) {
        list.push_back(MidiPacket{hostTime, std::uint16_t(bytes.size()),
                                  reinterpret_cast<const unsigned char*>(bytes.constData())});
    }
    return injectPackets(source, list);
}

bool FaultInjectingMidiService::injectPackets(MidiEndpointRef source, const std::vector<MidiPacket>& list)
{
    const Kind k = kind(source);
    if (k == Kind::Removed || k == Kind::AddedDestination) {
        return false;
    }
    std::vector<std::pair<Port, void*>> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Connection& c : m_connections) {
            if (c.source == source) {
                targets.emplace_back(m_ports.at(c.port), c.srcConnRefCon);
            }
        }
    }
    for (const auto& target : targets) {
        target.first.readProc(list.data(), unsigned(list.size()), target.first.readProcRefCon, target.second);
    }
    return true;
}

int FaultInjectingMidiService::connectionCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_connections.size());
}

QList<QByteArray> FaultInjectingMidiService::sentMessages(MidiEndpointRef destination) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* e = find(destination);
    return e ? e->sent : QList<QByteArray>();
}

std::vector<MidiEndpointRef> FaultInjectingMidiService::listed(bool sources)
{
    std::vector<MidiEndpointRef> refs;
    const unsigned int count = sources ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        refs.push_back(sources ? m_service->getSource(i) : m_service->getDestination(i));
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    refs.insert(refs.end(), m_addedOrder.begin(), m_addedOrder.end());
    refs.erase(std::remove_if(refs.begin(), refs.end(),
                              [&](MidiEndpointRef ref) {
                                  const Endpoint* e = find(ref);
                                  return e && (e->removed || (e->added && e->isSource != sources));
                              }),
               refs.end());
    return refs;
}

MidiEndpointRef FaultInjectingMidiService::addEndpoint(bool isSource, const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const MidiEndpointRef ref = FirstAddedRef + MidiEndpointRef(m_addedOrder.size());
    Endpoint& e = m_endpoints[ref];
    e.added = true;
    e.isSource = isSource;
    e.displayName = displayName;
    e.name = name.isEmpty() ? displayName : name;
    e.uniqueId = FirstAddedUniqueId + std::int32_t(m_addedOrder.size());
    m_addedOrder.push_back(ref);
    return ref;
}

FaultInjectingMidiService::Kind FaultInjectingMidiService::kind(MidiEndpointRef ref) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* e = find(ref);
    return !e ? Kind::Service
           : e->removed ? Kind::Removed
           : !e->added  ? Kind::Service
                        : (e->isSource ? Kind::AddedSource : Kind::AddedDestination);
}

int FaultInjectingMidiService::readOwn(MidiEndpointRef ref, Property property,
                                       const std::function<void(const Endpoint&)>& read) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* e = find(ref);
    if (e && (e->removed || e->readFails[int(property)])) {
        return Failed;
    }
    if (e && e->added) {
        read(*e);
    }
    return e && e->added ? Ok : -1;
}

const FaultInjectingMidiService::Endpoint* FaultInjectingMidiService::find(MidiEndpointRef ref) const
{
    const auto found = m_endpoints.find(ref);
    return found != m_endpoints.end() ? &found->second : nullptr;
}

std::vector<FaultInjectingMidiService::Connection> FaultInjectingMidiService::forget(
    const std::function<bool(const Connection&)>& matches)
{
    std::vector<Connection> forgotten;
    std::copy_if(m_connections.begin(), m_connections.end(), std::back_inserter(forgotten), matches);
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), matches), m_connections.end());
    return forgotten;
}
