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

bool isSource(MidiEndpointRef ref)
{
    return ref >= FirstSource && ref < FirstDestination;
}

bool isDestination(MidiEndpointRef ref)
{
    return ref >= FirstDestination && ref < FirstPortRef;
}

bool isEndpoint(MidiEndpointRef ref)
{
    return isSource(ref) || isDestination(ref);
}

MidiEndpointRef endpointAt(MidiEndpointRef first, unsigned int index)
{
    return index < LoopCount ? first + index : InvalidPortRef;
}
}

LoopbackMidiService::LoopbackMidiService()
    : m_nextRef(FirstPortRef)
{
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
    if (isEndpoint(object)) {
        return Ok;  // an endpoint reference holds nothing here
    }
    std::unique_lock<std::mutex> lock(m_mutex);
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
    return LoopCount;
}

MidiEndpointRef LoopbackMidiService::getSource(unsigned int index)
{
    return endpointAt(FirstSource, index);
}

unsigned int LoopbackMidiService::getNumberOfDestinations()
{
    return LoopCount;
}

MidiEndpointRef LoopbackMidiService::getDestination(unsigned int index)
{
    return endpointAt(FirstDestination, index);
}

MidiStatus LoopbackMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty, QString* value)
{
    if (!isEndpoint(endpoint)) {
        return Failed;
    }
    *value = LoopNames[(endpoint - FirstSource) % LoopCount];
    return Ok;
}

MidiStatus LoopbackMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty, std::int32_t* value)
{
    if (!isEndpoint(endpoint)) {
        return Failed;
    }
    *value = UniqueIdBase + std::int32_t(endpoint);
    return Ok;
}

MidiStatus LoopbackMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto foundPort = m_ports.find(port);
    if (foundPort == m_ports.end() || !foundPort->second.isInput || !isSource(source)) {
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
    if (foundPort == m_ports.end() || foundPort->second.isInput || !isDestination(destination)
        || packet.data == nullptr) {
        return Failed;
    }
    m_queue.push_back(Delivery{destination - LoopCount, packet.hostTime != 0 ? packet.hostTime : now,
                               QByteArray(reinterpret_cast<const char*>(packet.data), packet.length)});
    m_queueCondition.notify_all();
    return Ok;
}

std::uint64_t LoopbackMidiService::hostTimeNanos()
{
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
