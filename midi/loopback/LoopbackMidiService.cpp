#include "midi/loopback/LoopbackMidiService.h"

#include <algorithm>
#include <chrono>

namespace {
constexpr MidiStatus Ok = 0;
constexpr MidiStatus Failed = 1;

const QString LoopbackAName = QStringLiteral("Loopback A");
const QString LoopbackBName = QStringLiteral("Loopback B");
}

LoopbackMidiService::LoopbackMidiService(Endpoints endpoints)
{
    if (endpoints == Endpoints::Default) {
        for (const QString& name : {LoopbackAName, LoopbackBName}) {
            addDestination(name, name, addSource(name));
        }
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
    if (findEndpoint(object) != nullptr) {
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
    return endpointCount(true);
}

MidiEndpointRef LoopbackMidiService::getSource(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return endpointAt(true, index);
}

unsigned int LoopbackMidiService::getNumberOfDestinations()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return endpointCount(false);
}

MidiEndpointRef LoopbackMidiService::getDestination(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return endpointAt(false, index);
}

MidiStatus LoopbackMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* found = findEndpoint(endpoint);
    if (found == nullptr) {
        return Failed;
    }
    if (property == MidiStringProperty::DisplayName) {
        if (found->displayNameFails) {
            return Failed;
        }
        *value = found->displayName;
    } else {
        if (found->nameFails) {
            return Failed;
        }
        *value = found->name;
    }
    return Ok;
}

MidiStatus LoopbackMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty, std::int32_t* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* found = findEndpoint(endpoint);
    if (found == nullptr || found->uniqueIdFails) {
        return Failed;
    }
    *value = found->uniqueId;
    return Ok;
}

MidiStatus LoopbackMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto foundPort = m_ports.find(port);
    const Endpoint* foundSource = findEndpoint(source);
    if (m_connectFails || foundPort == m_ports.end() || !foundPort->second.isInput || foundSource == nullptr
        || !foundSource->isSource) {
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

MidiStatus LoopbackMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    const std::uint64_t now = hostTimeNanos();
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto foundPort = m_ports.find(port);
    Endpoint* foundDestination = findEndpoint(destination);
    if (m_sendFails || foundPort == m_ports.end() || foundPort->second.isInput || foundDestination == nullptr
        || foundDestination->isSource || packet.data == nullptr) {
        return Failed;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(packet.data), packet.length);
    foundDestination->sent.append(bytes);
    ++m_sendCount;
    if (foundDestination->loopSource != MidiNullRef) {
        m_queue.push_back(Delivery{foundDestination->loopSource, packet.hostTime != 0 ? packet.hostTime : now, {bytes}});
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

MidiEndpointRef LoopbackMidiService::addSource(const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(true, displayName, name, MidiNullRef);
}

MidiEndpointRef LoopbackMidiService::addDestination(const QString& displayName, const QString& name,
                                                    MidiEndpointRef loopSource)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return addEndpoint(false, displayName, name, loopSource);
}

bool LoopbackMidiService::removeEndpoint(MidiEndpointRef endpoint)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto found = std::find_if(m_endpoints.begin(), m_endpoints.end(),
                                    [endpoint](const Endpoint& e) { return e.ref == endpoint; });
    if (found == m_endpoints.end()) {
        return false;
    }
    m_endpoints.erase(found);
    m_connections.erase(std::remove_if(m_connections.begin(), m_connections.end(),
                                       [endpoint](const Connection& c) { return c.source == endpoint; }),
                        m_connections.end());
    waitForDeliveryInProgress(lock);
    return true;
}

bool LoopbackMidiService::renameEndpoint(MidiEndpointRef endpoint, const QString& displayName, const QString& name)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Endpoint* found = findEndpoint(endpoint);
    if (found == nullptr) {
        return false;
    }
    found->displayName = displayName;
    found->name = name.isEmpty() ? displayName : name;
    return true;
}

void LoopbackMidiService::setPropertyReadFails(MidiEndpointRef endpoint, Property property, bool fails)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Endpoint* found = findEndpoint(endpoint);
    if (found == nullptr) {
        return;
    }
    switch (property) {
    case Property::DisplayName:
        found->displayNameFails = fails;
        break;
    case Property::Name:
        found->nameFails = fails;
        break;
    case Property::UniqueId:
        found->uniqueIdFails = fails;
        break;
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
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* found = findEndpoint(source);
    if (found == nullptr || !found->isSource) {
        return false;
    }
    m_queue.push_back(Delivery{source, hostTime, std::vector<QByteArray>(packets.begin(), packets.end())});
    m_queueCondition.notify_all();
    return true;
}

bool LoopbackMidiService::waitUntilDelivered(int timeoutMilliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_deliveredCondition.wait_for(lock, std::chrono::milliseconds(timeoutMilliseconds),
                                         [this] { return m_queue.empty() && !m_delivering; });
}

int LoopbackMidiService::connectionCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_connections.size());
}

int LoopbackMidiService::sendCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sendCount;
}

QList<QByteArray> LoopbackMidiService::sentMessages(MidiEndpointRef destination) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const Endpoint& endpoint : m_endpoints) {
        if (endpoint.ref == destination) {
            return endpoint.sent;
        }
    }
    return {};
}

MidiEndpointRef LoopbackMidiService::addEndpoint(bool isSource, const QString& displayName, const QString& name,
                                                 MidiEndpointRef loopSource)
{
    const MidiEndpointRef ref = m_nextRef++;
    Endpoint endpoint;
    endpoint.ref = ref;
    endpoint.isSource = isSource;
    endpoint.displayName = displayName;
    endpoint.name = name.isEmpty() ? displayName : name;
    endpoint.uniqueId = m_nextUniqueId++;
    endpoint.loopSource = loopSource;
    m_endpoints.push_back(endpoint);
    return ref;
}

LoopbackMidiService::Endpoint* LoopbackMidiService::findEndpoint(MidiEndpointRef ref)
{
    for (Endpoint& endpoint : m_endpoints) {
        if (endpoint.ref == ref) {
            return &endpoint;
        }
    }
    return nullptr;
}

MidiEndpointRef LoopbackMidiService::endpointAt(bool isSource, unsigned int index) const
{
    for (const Endpoint& endpoint : m_endpoints) {
        if (endpoint.isSource == isSource && index-- == 0) {
            return endpoint.ref;
        }
    }
    return MidiNullRef;
}

unsigned int LoopbackMidiService::endpointCount(bool isSource) const
{
    return unsigned(std::count_if(m_endpoints.begin(), m_endpoints.end(),
                                  [isSource](const Endpoint& e) { return e.isSource == isSource; }));
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
    std::vector<MidiPacket> packets;
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
        packets.clear();
        for (const QByteArray& bytes : delivery.packets) {
            packets.push_back(MidiPacket{delivery.hostTime, std::uint16_t(bytes.size()),
                                         reinterpret_cast<const unsigned char*>(bytes.constData())});
        }
        for (const Target& target : targets) {
            target.readProc(packets.data(), unsigned(packets.size()), target.readProcRefCon, target.srcConnRefCon);
        }
        lock.lock();
        m_delivering = false;
        ++m_deliveriesFinished;
        m_deliveredCondition.notify_all();
    }
}
