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
    for (auto port = m_ports.begin(); port != m_ports.end();) {
        const MidiPortRef ref = port->first;
        if (port->second.client != client) {
            ++port;
            continue;
        }
        forget([ref](const Connection& c) { return c.port == ref; });
        port = m_ports.erase(port);
    }
    return status;
}

MidiStatus FaultInjectingMidiService::createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                                      void* readProcRefCon, MidiPortRef* port)
{
    const MidiStatus status = m_service->createInputPort(client, name, readProc, readProcRefCon, port);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (status == Ok) {
        m_ports[*port] = Port{client, readProc, readProcRefCon};
    }
    return status;
}

MidiStatus FaultInjectingMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    const MidiStatus status = m_service->createOutputPort(client, name, port);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (status == Ok) {
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
        forget([object](const Connection& c) { return c.port == object; });
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
        const bool displayName = property == MidiStringProperty::DisplayName;
        if (const Endpoint* e = find(endpoint)) {
            if (e->removed || e->readFails[int(displayName ? Property::DisplayName : Property::Name)]) {
                return Failed;
            }
            if (e->added) {
                *value = displayName ? e->displayName : e->name;
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
        if (const Endpoint* e = find(endpoint)) {
            if (e->removed || e->readFails[int(Property::UniqueId)]) {
                return Failed;
            }
            if (e->added) {
                *value = e->uniqueId;
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
        const auto input = m_ports.find(port);
        added = isAdded(source);
        if (m_connectFails || isRemoved(source) || input == m_ports.end() || input->second.readProc == nullptr
            || (added && !find(source)->isSource)) {
            return Failed;
        }
    }
    if (!added && m_service->connectSource(port, source, srcConnRefCon) != Ok) {
        return Failed;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    forget([&](const Connection& c) { return c.port == port && c.source == source; });
    m_connections.push_back(Connection{port, source, srcConnRefCon});
    return Ok;
}

MidiStatus FaultInjectingMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        added = isAdded(source);
    }
    const MidiStatus status = added ? Ok : m_service->disconnectSource(port, source);
    if (status != Ok) {
        return status;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool wasConnected = !forget([&](const Connection& c) { return c.port == port && c.source == source; }).empty();
    return added && !wasConnected ? Failed : Ok;
}

MidiStatus FaultInjectingMidiService::connectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (isRemoved(destination)) {
            return Failed;
        }
        if (isAdded(destination)) {
            return Ok;
        }
    }
    return m_service->connectDestination(port, destination);
}

MidiStatus FaultInjectingMidiService::disconnectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (isAdded(destination)) {
            return Ok;
        }
    }
    return m_service->disconnectDestination(port, destination);
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
    bool added = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto output = m_ports.find(port);
        added = isAdded(destination);
        if (m_sendFails || isRemoved(destination) || packet.data == nullptr
            || (added && (find(destination)->isSource || output == m_ports.end() || output->second.readProc))) {
            return Failed;
        }
    }
    if (!added && m_service->send(port, destination, stamped) != Ok) {
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
    std::vector<MidiPacket> list;
    for (const QByteArray& bytes : packets) {
        list.push_back(MidiPacket{hostTime, std::uint16_t(bytes.size()),
                                  reinterpret_cast<const unsigned char*>(bytes.constData())});
    }
    return injectPackets(source, list);
}

bool FaultInjectingMidiService::injectPackets(MidiEndpointRef source, const std::vector<MidiPacket>& list)
{
    std::vector<Connection> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (isRemoved(source) || (isAdded(source) && !find(source)->isSource)) {
            return false;
        }
        std::copy_if(m_connections.begin(), m_connections.end(), std::back_inserter(targets),
                     [source](const Connection& c) { return c.source == source; });
    }
    for (const Connection& target : targets) {
        Port port;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            port = m_ports.at(target.port);
        }
        port.readProc(list.data(), unsigned(list.size()), port.readProcRefCon, target.srcConnRefCon);
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
    std::copy_if(m_addedOrder.begin(), m_addedOrder.end(), std::back_inserter(refs),
                 [&](MidiEndpointRef ref) { return find(ref)->isSource == sources; });
    refs.erase(std::remove_if(refs.begin(), refs.end(), [this](MidiEndpointRef ref) { return isRemoved(ref); }),
               refs.end());
    return refs;
}

const FaultInjectingMidiService::Endpoint* FaultInjectingMidiService::find(MidiEndpointRef ref) const
{
    const auto found = m_endpoints.find(ref);
    return found != m_endpoints.end() ? &found->second : nullptr;
}

MidiEndpointRef FaultInjectingMidiService::addEndpoint(bool isSource, const QString& displayName, const QString& name)
{
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

std::vector<FaultInjectingMidiService::Connection> FaultInjectingMidiService::forget(
    const std::function<bool(const Connection&)>& matches)
{
    std::vector<Connection> forgotten;
    std::copy_if(m_connections.begin(), m_connections.end(), std::back_inserter(forgotten), matches);
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(), matches), m_connections.end());
    return forgotten;
}
