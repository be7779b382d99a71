#include "midi/loopback/LoopbackMidiService.h"

#include <QString>

#include <algorithm>
#include <chrono>

namespace {
constexpr MidiStatus Ok = 0;
constexpr MidiStatus Failed = 1;

// The two loops: source i + 1 and destination i + 1 + LoopCount carry the name LoopNames[i], and
// what is sent to the destination arrives from the source.
const QString LoopNames[] = {QStringLiteral("Loopback A"), QStringLiteral("Loopback B")};
constexpr MidiEndpointRef LoopCount = 2;
constexpr MidiEndpointRef FirstSource = 1;
constexpr MidiEndpointRef FirstDestination = FirstSource + LoopCount;
constexpr MidiObjectRef FirstPortRef = FirstDestination + LoopCount;
constexpr std::int32_t UniqueIdBase = 0x10000;
// Far from the ports' references, and below InvalidPortRef.
constexpr MidiEndpointRef FirstAddedRef = 0xF0000000;
constexpr std::int32_t FirstAddedUniqueId = 0x70000000;
}

LoopbackMidiService::LoopbackMidiService()
    : m_nextRef(FirstPortRef)
{
    for (MidiEndpointRef i = 0; i < LoopCount; ++i) {
        m_endpoints.push_back(Endpoint{FirstSource + i, true, LoopNames[i], LoopNames[i],
                                       UniqueIdBase + std::int32_t(FirstSource + i), InvalidPortRef, false, {}, {}});
    }
    for (MidiEndpointRef i = 0; i < LoopCount; ++i) {
        m_endpoints.push_back(Endpoint{FirstDestination + i, false, LoopNames[i], LoopNames[i],
                                       UniqueIdBase + std::int32_t(FirstDestination + i), FirstSource + i, false, {}, {}});
    }
    m_thread = std::thread(&LoopbackMidiService::deliveryLoop, this);
}

LoopbackMidiService::~LoopbackMidiService()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_queueCondition.notify_all();
    m_thread.join();
}

MidiStatus LoopbackMidiService::createClient(const QString&, MidiClientRef* client)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    *client = m_nextRef++;
    m_clients.push_back(*client);
    return Ok;
}

MidiStatus LoopbackMidiService::disposeClient(MidiClientRef client)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = std::find(m_clients.begin(), m_clients.end(), client);
    if (found == m_clients.end()) {
        return Failed;
    }
    m_clients.erase(found);
    for (auto port = m_ports.begin(); port != m_ports.end();) {
        if (port->second.client == client) {
            const MidiPortRef ref = port->first;
            m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                               [ref](const Connection& c) { return c.port == ref; }),
                                m_connections.end());
            port = m_ports.erase(port);
        } else {
            ++port;
        }
    }
    waitForDeliveryInProgress(lock);
    return Ok;
}

MidiStatus LoopbackMidiService::createInputPort(MidiClientRef client, const QString&, MidiReadProc readProc,
                                                void* readProcRefCon, MidiPortRef* port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end() || readProc == nullptr) {
        return Failed;
    }
    *port = m_nextRef++;
    m_ports[*port] = Port{client, true, readProc, readProcRefCon};
    return Ok;
}

MidiStatus LoopbackMidiService::createOutputPort(MidiClientRef client, const QString&, MidiPortRef* port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end()) {
        return Failed;
    }
    *port = m_nextRef++;
    m_ports[*port] = Port{client, false, nullptr, nullptr};
    return Ok;
}

MidiStatus LoopbackMidiService::disposePort(MidiObjectRef object)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (object < FirstPortRef || object >= FirstAddedRef) {
        return Ok;  // an endpoint reference holds nothing here
    }
    if (m_ports.erase(object) == 0) {
        return Failed;
    }
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                       [object](const Connection& c) { return c.port == object; }),
                        m_connections.end());
    waitForDeliveryInProgress(lock);
    return Ok;
}

unsigned int LoopbackMidiService::getNumberOfSources()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return unsigned(listed(true).size());
}

MidiEndpointRef LoopbackMidiService::getSource(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::vector<MidiEndpointRef> sources = listed(true);
    return index < sources.size() ? sources[index] : InvalidPortRef;
}

unsigned int LoopbackMidiService::getNumberOfDestinations()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return unsigned(listed(false).size());
}

MidiEndpointRef LoopbackMidiService::getDestination(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const std::vector<MidiEndpointRef> destinations = listed(false);
    return index < destinations.size() ? destinations[index] : InvalidPortRef;
}

MidiStatus LoopbackMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value)
{
    const bool display = property == MidiStringProperty::DisplayName;
    return readProperty(endpoint, display ? Property::DisplayName : Property::Name,
                        [&](const Endpoint& e) { *value = display ? e.displayName : e.name; });
}

MidiStatus LoopbackMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty, std::int32_t* value)
{
    return readProperty(endpoint, Property::UniqueId, [&](const Endpoint& e) { *value = e.uniqueId; });
}

MidiStatus LoopbackMidiService::readProperty(MidiEndpointRef ref, Property property,
                                             const std::function<void(const Endpoint&)>& read)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* e = find(ref, true) ? find(ref, true) : find(ref, false);
    if (!e || e->readFails[int(property)]) {
        return Failed;
    }
    read(*e);
    return Ok;
}

MidiStatus LoopbackMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto foundPort = m_ports.find(port);
    if (m_connectFails || foundPort == m_ports.end() || !foundPort->second.isInput || !find(source, true)) {
        return Failed;
    }
    for (Connection& connection : m_connections) {
        if (connection.port == port && connection.source == source) {
            connection.srcConnRefCon = srcConnRefCon;
            return Ok;
        }
    }
    m_connections.push_back(Connection{port, source, srcConnRefCon});
    return Ok;
}

MidiStatus LoopbackMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_connections.begin(), m_connections.end(), [&](const Connection& c) {
        return c.port == port && c.source == source;
    });
    if (found == m_connections.end()) {
        return Failed;
    }
    m_connections.erase(found);
    waitForDeliveryInProgress(lock);
    return Ok;
}

MidiStatus LoopbackMidiService::connectDestination(MidiPortRef, MidiEndpointRef destination)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return find(destination, false) ? Ok : Failed;
}

MidiStatus LoopbackMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    const std::uint64_t now = hostTimeNanos();
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto foundPort = m_ports.find(port);
    Endpoint* target = find(destination, false);
    if (m_sendFails || foundPort == m_ports.end() || foundPort->second.isInput || !target || packet.data == nullptr) {
        return Failed;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(packet.data), packet.length);
    target->sent.append(bytes);
    ++m_sendCount;
    if (target->loopSource != InvalidPortRef) {
        m_queue.push_back(Delivery{target->loopSource, packet.hostTime != 0 ? packet.hostTime : now, bytes});
        m_queueCondition.notify_all();
    }
    return Ok;
}

std::uint64_t LoopbackMidiService::hostTimeNanos()
{
    {
        std::lock_guard<std::mutex> lock(m_clockMutex);
        if (m_clock) {
            return m_clock();
        }
    }
    return std::uint64_t(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

void LoopbackMidiService::waitForDeliveryInProgress(std::unique_lock<std::mutex>& lock)
{
    if (std::this_thread::get_id() == m_thread.get_id() || !m_delivering) {
        return;
    }
    const std::uint64_t finished = m_deliveriesFinished;
    m_deliveredCondition.wait(lock, [this, finished] { return m_deliveriesFinished != finished; });
}

void LoopbackMidiService::deliveryLoop()
{
    struct Target {
        MidiReadProc readProc;
        void* readProcRefCon;
        void* srcConnRefCon;
    };
    std::vector<Target> targets;
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_queueCondition.wait(lock, [this] { return m_stop || !m_queue.empty(); });
        if (m_stop) {
            break;
        }
        const Delivery delivery = std::move(m_queue.front());
        m_queue.pop_front();
        targets.clear();
        for (const Connection& connection : m_connections) {
            if (connection.source == delivery.source) {
                const Port& port = m_ports.at(connection.port);
                targets.push_back(Target{port.readProc, port.readProcRefCon, connection.srcConnRefCon});
            }
        }
        m_delivering = true;
        lock.unlock();
        const MidiPacket packet{delivery.hostTime, std::uint16_t(delivery.bytes.size()),
                                reinterpret_cast<const unsigned char*>(delivery.bytes.constData())};
        for (const Target& target : targets) {
            target.readProc(&packet, 1, target.readProcRefCon, target.srcConnRefCon);
        }
        lock.lock();
        m_delivering = false;
        ++m_deliveriesFinished;
        m_deliveredCondition.notify_all();
    }
}

MidiEndpointRef LoopbackMidiService::addSource(const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(true, displayName, name);
}

MidiEndpointRef LoopbackMidiService::addDestination(const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(false, displayName, name);
}

bool LoopbackMidiService::removeEndpoint(MidiEndpointRef endpoint)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Endpoint* e = find(endpoint, true) ? find(endpoint, true) : find(endpoint, false);
    if (!e) {
        return false;
    }
    e->removed = true;
    // A device that vanished sends nothing more.
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                       [endpoint](const Connection& c) { return c.source == endpoint; }),
                        m_connections.end());
    waitForDeliveryInProgress(lock);
    return true;
}

void LoopbackMidiService::removeServiceEndpoints()
{
    for (MidiEndpointRef ref = FirstSource; ref < FirstPortRef; ++ref) {
        removeEndpoint(ref);
    }
}

void LoopbackMidiService::setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Endpoint& e : m_endpoints) {
        if (e.ref == endpoint) {
            e.readFails[int(property)] = fails;
        }
    }
}

void LoopbackMidiService::setConnectFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_connectFails = fails;
}

void LoopbackMidiService::setSendFails(bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sendFails = fails;
}

void LoopbackMidiService::setHostClock(std::function<std::uint64_t()> clock)
{
    std::lock_guard<std::mutex> lock(m_clockMutex);
    m_clock = std::move(clock);
}

bool LoopbackMidiService::injectPackets(MidiEndpointRef source, const QList<QByteArray>& packets, std::uint64_t hostTime)
{
    std::vector<std::pair<Port, void*>> targets;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!find(source, true)) {
            return false;
        }
        for (const Connection& connection : m_connections) {
            if (connection.source == source) {
                targets.emplace_back(m_ports.at(connection.port), connection.srcConnRefCon);
            }
        }
    }
    std::vector<MidiPacket> list;
    for (const QByteArray& bytes : packets) {
        list.push_back(MidiPacket{hostTime, std::uint16_t(bytes.size()),
                                  reinterpret_cast<const unsigned char*>(bytes.constData())});
    }
    for (const auto& target : targets) {
        target.first.readProc(list.data(), unsigned(list.size()), target.first.readProcRefCon, target.second);
    }
    return true;
}

int LoopbackMidiService::connectionCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_connections.size());
}

int LoopbackMidiService::sendCount()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sendCount;
}

QList<QByteArray> LoopbackMidiService::sentMessages(MidiEndpointRef destination)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Endpoint& e : m_endpoints) {
        if (e.ref == destination) {
            return e.sent;
        }
    }
    return {};
}

LoopbackMidiService::Endpoint* LoopbackMidiService::find(MidiEndpointRef ref, bool isSource)
{
    for (Endpoint& e : m_endpoints) {
        if (e.ref == ref) {
            return !e.removed && e.isSource == isSource ? &e : nullptr;
        }
    }
    return nullptr;
}

std::vector<MidiEndpointRef> LoopbackMidiService::listed(bool sources) const
{
    std::vector<MidiEndpointRef> refs;
    for (const Endpoint& e : m_endpoints) {
        if (!e.removed && e.isSource == sources) {
            refs.push_back(e.ref);
        }
    }
    return refs;
}

MidiEndpointRef LoopbackMidiService::addEndpoint(bool isSource, const QString& displayName, const QString& name)
{
    const auto added = std::int32_t(m_endpoints.size() - 2 * LoopCount);
    m_endpoints.push_back(Endpoint{FirstAddedRef + MidiEndpointRef(added), isSource, displayName,
                                   name.isEmpty() ? displayName : name, FirstAddedUniqueId + added, InvalidPortRef, false, {}, {}});
    return m_endpoints.back().ref;
}
