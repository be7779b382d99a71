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
    const MidiStatus status = m_service->createInputPort(client, name, readProc, readProcRefCon, port);
    return remember(status, *port, Port{client, readProc, readProcRefCon});
}

MidiStatus FaultInjectingMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    const MidiStatus status = m_service->createOutputPort(client, name, port);
    return remember(status, *port, Port{client, nullptr, nullptr});
}

MidiStatus FaultInjectingMidiService::remember(MidiStatus status, MidiPortRef port, Port entry)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (status == Ok) {
        m_ports[port] = entry;
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
    const Endpoint e = known(endpoint);
    if (e.removed || e.readFails[int(displayName ? Property::DisplayName : Property::Name)]) {
        return Failed;
    }
    if (!e.added) {
        return m_service->getStringProperty(endpoint, property, value);
    }
    *value = displayName ? e.displayName : e.name;
    return Ok;
}

MidiStatus FaultInjectingMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property,
                                                         std::int32_t* value)
{
    const Endpoint e = known(endpoint);
    if (e.removed || e.readFails[int(Property::UniqueId)]) {
        return Failed;
    }
    if (!e.added) {
        return m_service->getIntegerProperty(endpoint, property, value);
    }
    *value = FirstAddedUniqueId + std::int32_t(endpoint - FirstAddedRef);
    return Ok;
}

MidiStatus FaultInjectingMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    const Endpoint e = known(source);
    if (m_connectFails || e.removed || (e.added && !e.isSource) || !isPort(port, true)) {
        return Failed;
    }
    if (!e.added && m_service->connectSource(port, source, srcConnRefCon) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    forget([&](const Connection& c) { return c.port == port && c.source == source; });
    m_connections.push_back(Connection{port, source, srcConnRefCon});
    return Ok;
}

MidiStatus FaultInjectingMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    const bool added = known(source).added;
    if (!added && m_service->disconnectSource(port, source) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasConnected = !forget([&](const Connection& c) { return c.port == port && c.source == source; }).empty();
    return added && !wasConnected ? Failed : Ok;
}

MidiStatus FaultInjectingMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    const Endpoint e = known(destination);
    if (m_sendFails || packet.data == nullptr || e.removed || (e.added && (e.isSource || !isPort(port, false)))) {
        return Failed;
    }
    const auto clock = this->clock();
    MidiPacket stamped = packet;
    if (stamped.hostTime == 0 && clock) {
        stamped.hostTime = clock();
    }
    if (!e.added && m_service->send(port, destination, stamped) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_endpoints[destination].sent.append(QByteArray(reinterpret_cast<const char*>(packet.data), packet.length));
    ++m_sendCount;
    return Ok;
}

std::uint64_t FaultInjectingMidiService::hostTimeNanos()
{
    const auto clock = this->clock();
    return clock ? clock() : m_service->hostTimeNanos();
}

std::function<std::uint64_t()> FaultInjectingMidiService::clock() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_clock;
}

bool FaultInjectingMidiService::removeEndpoint(MidiEndpointRef ref)
{
    const std::vector<MidiEndpointRef> sources = listed(true), destinations = listed(false);
    if (std::count(sources.begin(), sources.end(), ref) + std::count(destinations.begin(), destinations.end(), ref) == 0) {
        return false;
    }
    std::unique_lock<std::mutex> lock(m_mutex);
    m_endpoints[ref].removed = true;
    const std::vector<Connection> gone = forget([ref](const Connection& c) { return c.source == ref; });
    lock.unlock();
    // A device that vanished sends nothing more.
    for (const Connection& connection : ref < FirstAddedRef ? gone : std::vector<Connection>()) {
        m_service->disconnectSource(connection.port, connection.source);
    }
    return true;
}

void FaultInjectingMidiService::removeServiceEndpoints()
{
    for (const bool sources : {true, false}) {
        for (const MidiEndpointRef ref : serviceEndpoints(sources)) {
            removeEndpoint(ref);
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
    const Endpoint e = known(source);
    if (e.removed || (e.added && !e.isSource)) {
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
    return known(destination).sent;
}

std::vector<MidiEndpointRef> FaultInjectingMidiService::serviceEndpoints(bool sources)
{
    std::vector<MidiEndpointRef> refs;
    const unsigned int count = sources ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        refs.push_back(sources ? m_service->getSource(i) : m_service->getDestination(i));
    }
    return refs;
}

std::vector<MidiEndpointRef> FaultInjectingMidiService::listed(bool sources)
{
    std::vector<MidiEndpointRef> refs = serviceEndpoints(sources);
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_endpoints) {
        if (entry.second.added && entry.second.isSource == sources) {
            refs.push_back(entry.first);
        }
    }
    const auto removed = [&](MidiEndpointRef ref) {
        const auto found = m_endpoints.find(ref);
        return found != m_endpoints.end() && found->second.removed;
    };
    refs.erase(std::remove_if(refs.begin(), refs.end(), removed), refs.end());
    return refs;
}

MidiEndpointRef FaultInjectingMidiService::add(bool isSource, const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const MidiEndpointRef ref = FirstAddedRef + MidiEndpointRef(m_addedCount);
    Endpoint& e = m_endpoints[ref];
    e.added = true;
    e.isSource = isSource;
    e.displayName = displayName;
    e.name = name.isEmpty() ? displayName : name;
    ++m_addedCount;
    return ref;
}

FaultInjectingMidiService::Endpoint FaultInjectingMidiService::known(MidiEndpointRef ref) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_endpoints.find(ref);
    return found != m_endpoints.end() ? found->second : Endpoint();
}

bool FaultInjectingMidiService::isPort(MidiPortRef port, bool input) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto found = m_ports.find(port);
    return found != m_ports.end() && (found->second.readProc != nullptr) == input;
}

std::vector<FaultInjectingMidiService::Connection> FaultInjectingMidiService::forget(
    const std::function<bool(const Connection&)>& matches)
{
    std::vector<Connection> forgotten;
    std::copy_if(m_connections.begin(), m_connections.end(), std::back_inserter(forgotten), matches);
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), matches), m_connections.end());
    return forgotten;
}
