#include "midi/jack/JackMidiService.h"

#include <jack/jack.h>
#include <jack/metadata.h>
#include <jack/midiport.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <type_traits>

// The header stands in for these libjack types without including libjack.
static_assert(std::is_same<jack_nframes_t, std::uint32_t>::value, "jack_nframes_t");
static_assert(std::is_same<jack_uuid_t, std::uint64_t>::value, "jack_uuid_t");

namespace {
constexpr MidiClientRef ClientRef = 1;
constexpr MidiObjectRef OwnPortRefBase = 0x40000000;
constexpr MidiEndpointRef LastEndpointRef = OwnPortRefBase - 1;
// Room for the largest message the port layer sends, plus the ones queued behind it.
constexpr std::size_t OutputRingSize = 1 << 16;
constexpr std::size_t ReceivedRingSize = 1 << 20;
// A packet handed to a read procedure never exceeds this; longer JACK events arrive in pieces.
constexpr std::size_t MaxPacketLength = 16384;
// A server that runs no cycle for this long is treated as gone by a waiting sender.
constexpr auto StallLimit = std::chrono::seconds(5);
constexpr auto PollInterval = std::chrono::milliseconds(1);

struct ReceivedHeader {
    std::uint64_t hostTime;
    std::uint32_t slot;
    std::uint32_t generation;
    std::uint32_t length;
};

using SendHeader = std::uint32_t;

// libjack reports every failed attempt to reach a server on standard error; the service reports
// through its results instead.
void ignoreJackMessage(const char*) {}
}

JackMidiService::JackMidiService(const QString& clientName)
    : m_clientName(clientName.toUtf8())
    , m_received(ReceivedRingSize)
{
    jack_set_error_function(ignoreJackMessage);
    jack_set_info_function(ignoreJackMessage);
    sem_init(&m_wakeDelivery, 0, 0);
    m_deliveryThread = std::thread([this] { deliveryLoop(); });
    std::lock_guard<std::mutex> lock(m_mutex);
    openClient();
}

JackMidiService::~JackMidiService()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_clientDisposed = true;
        if (m_client) {
            closeClient();
        }
    }
    m_stopDelivery.store(true);
    sem_post(&m_wakeDelivery);
    m_deliveryThread.join();
    sem_destroy(&m_wakeDelivery);
}

bool JackMidiService::isOpen()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return ensureClient(true);
}

MidiStatus JackMidiService::createClient(const QString&, MidiClientRef* client)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clientDisposed = false;
    if (!ensureClient(true)) {
        return 1;
    }
    *client = ClientRef;
    return 0;
}

MidiStatus JackMidiService::disposeClient(MidiClientRef client)
{
    if (client != ClientRef) {
        return 1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_clientDisposed = true;
    if (m_client) {
        closeClient();
    }
    return 0;
}

MidiStatus JackMidiService::createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                            void* readProcRefCon, MidiPortRef* port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = client == ClientRef ? claimPort(name, true) : nullptr;
    if (!own) {
        return 1;
    }
    {
        std::lock_guard<std::mutex> delivery(m_deliveryMutex);
        own->readProc = readProc;
        own->readProcRefCon = readProcRefCon;
        own->srcConnRefCon = nullptr;
    }
    // Without a server the port is registered when one is reached again.
    if (ensureClient(false) && !registerJackPort(*own)) {
        std::lock_guard<std::mutex> delivery(m_deliveryMutex);
        own->readProc = nullptr;
        return 1;
    }
    own->used = true;
    *port = OwnPortRefBase + MidiPortRef(own - m_ports.data());
    return 0;
}

MidiStatus JackMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = client == ClientRef ? claimPort(name, false) : nullptr;
    if (!own) {
        return 1;
    }
    if (!own->ring) {
        own->ring = std::make_unique<JackByteRing>(OutputRingSize);
    }
    own->ring->reset();
    own->pendingLength = 0;
    own->pendingOffset = 0;
    if (ensureClient(false) && !registerJackPort(*own)) {
        return 1;
    }
    own->used = true;
    *port = OwnPortRefBase + MidiPortRef(own - m_ports.data());
    return 0;
}

MidiStatus JackMidiService::disposePort(MidiObjectRef object)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    const bool alive = ensureClient(false);
    if (OwnPort* own = findOwnPort(object)) {
        jack_port_t* jackPort = own->jackPort.exchange(nullptr);
        if (jackPort && alive) {
            // The process thread may still hold the pointer it loaded this cycle.
            waitForCycles(2);
            jack_port_unregister(m_client, jackPort);
        }
        {
            std::unique_lock<std::mutex> delivery(m_deliveryMutex);
            own->readProc = nullptr;
            own->readProcRefCon = nullptr;
            own->srcConnRefCon = nullptr;
            lock.unlock();
            waitUntilNotDelivering(std::size_t(own - m_ports.data()), delivery);
        }
        lock.lock();
        own->connectedDestination.clear();
        own->used = false;
        return 0;
    }
    // A destination reference holds nothing: its connection belongs to the output port, which
    // disconnectDestination releases.
    return findEndpoint(object) ? 0 : 1;
}

unsigned int JackMidiService::getNumberOfSources()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!ensureClient(true)) {
        return 0;
    }
    refreshEndpoints();
    return static_cast<unsigned int>(m_sources.size());
}

MidiEndpointRef JackMidiService::getSource(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_sources.size() ? m_sources[index] : InvalidPortRef;
}

unsigned int JackMidiService::getNumberOfDestinations()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!ensureClient(true)) {
        return 0;
    }
    refreshEndpoints();
    return static_cast<unsigned int>(m_destinations.size());
}

MidiEndpointRef JackMidiService::getDestination(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_destinations.size() ? m_destinations[index] : InvalidPortRef;
}

MidiStatus JackMidiService::getStringProperty(MidiEndpointRef ref, MidiStringProperty property, QString* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!ensureClient(false)) {
        return 1;
    }
    const Endpoint* endpoint = findEndpoint(ref);
    jack_port_t* port = endpoint ? jack_port_by_name(m_client, endpoint->fullName.constData()) : nullptr;
    if (!port) {
        return 1;
    }
    if (property == MidiStringProperty::Name) {
        *value = QString::fromUtf8(endpoint->fullName);
        return 0;
    }
    char* pretty = nullptr;
    char* type = nullptr;
    if (jack_get_property(endpoint->uuid, JACK_METADATA_PRETTY_NAME, &pretty, &type) == 0 && pretty) {
        *value = QString::fromUtf8(pretty);
        jack_free(pretty);
        jack_free(type);
        if (!value->isEmpty()) {
            return 0;
        }
    }
    std::vector<char> first(jack_port_name_size());
    std::vector<char> second(jack_port_name_size());
    char* aliases[2] = {first.data(), second.data()};
    if (jack_port_get_aliases(port, aliases) > 0 && aliases[0][0] != '\0') {
        *value = QString::fromUtf8(aliases[0]);
        return 0;
    }
    *value = QString::fromUtf8(endpoint->fullName);
    return 0;
}

MidiStatus JackMidiService::getIntegerProperty(MidiEndpointRef ref, MidiIntegerProperty, std::int32_t* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!ensureClient(false) || !findEndpoint(ref)) {
        return 1;
    }
    *value = static_cast<std::int32_t>(ref);
    return 0;
}

MidiStatus JackMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!ensureClient(false)) {
        return 1;
    }
    OwnPort* own = findOwnPort(port);
    const Endpoint* endpoint = findEndpoint(source);
    jack_port_t* jackPort = own && own->isInput ? own->jackPort.load() : nullptr;
    if (!jackPort || !endpoint) {
        return 1;
    }
    const int status = jack_connect(m_client, endpoint->fullName.constData(), jack_port_name(jackPort));
    if (status != 0 && status != EEXIST) {
        return 1;
    }
    {
        std::lock_guard<std::mutex> delivery(m_deliveryMutex);
        own->srcConnRefCon = srcConnRefCon;
    }
    // The connection carries data from the first cycle that starts after the server took it.
    waitForCycles(2);
    return 0;
}

MidiStatus JackMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (!ensureClient(false)) {
        return 1;
    }
    OwnPort* own = findOwnPort(port);
    const Endpoint* endpoint = findEndpoint(source);
    jack_port_t* jackPort = own && own->isInput ? own->jackPort.load() : nullptr;
    if (!jackPort || !endpoint) {
        return 1;
    }
    const int status = jack_disconnect(m_client, endpoint->fullName.constData(), jack_port_name(jackPort));
    // Once the server routes nothing more from the source, what is still on its way is dropped
    // and the connection's context is never handed out again.
    waitForCycles(2);
    std::unique_lock<std::mutex> delivery(m_deliveryMutex);
    own->generation.fetch_add(1, std::memory_order_release);
    own->srcConnRefCon = nullptr;
    lock.unlock();
    waitUntilNotDelivering(std::size_t(own - m_ports.data()), delivery);
    return status == 0 ? 0 : 1;
}

MidiStatus JackMidiService::connectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    OwnPort* own = findOutputPort(port);
    if (!own) {
        return 1;
    }
    std::lock_guard<std::mutex> sending(own->sendMutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* endpoint = findEndpoint(destination);
    jack_port_t* jackPort = own->jackPort.load();
    if (!ensureClient(false) || !jackPort || !endpoint) {
        return 1;
    }
    const QByteArray name = endpoint->fullName;
    if (own->connectedDestination == name && jack_port_connected_to(jackPort, name.constData())) {
        return 0;
    }
    return connectOutput(*own, name) ? 0 : 1;
}

MidiStatus JackMidiService::disconnectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    OwnPort* own = findOutputPort(port);
    if (!own) {
        return 1;
    }
    std::lock_guard<std::mutex> sending(own->sendMutex);
    std::lock_guard<std::mutex> lock(m_mutex);
    const Endpoint* endpoint = findEndpoint(destination);
    // A destination that has gone took its connection along.
    if (!endpoint || own->connectedDestination == endpoint->fullName) {
        if (ensureClient(false)) {
            disconnectOutput(*own);
        }
        own->connectedDestination.clear();
    }
    return 0;
}

MidiStatus JackMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    if (packet.length == 0) {
        return 0;
    }
    OwnPort* own = nullptr;
    QByteArray destinationName;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const bool alive = ensureClient(false);
        own = findOwnPort(port);
        const Endpoint* endpoint = findEndpoint(destination);
        if (!alive || !own || own->isInput || !endpoint ||
            sizeof(SendHeader) + packet.length > own->ring->capacity()) {
            return 1;
        }
        destinationName = endpoint->fullName;
    }
    // One sender at a time per port keeps every port's messages in the order they were sent.
    std::lock_guard<std::mutex> sending(own->sendMutex);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        jack_port_t* jackPort = own->jackPort.load();
        if (!ensureClient(false) || !jackPort) {
            return 1;
        }
        if (own->connectedDestination != destinationName ||
            !jack_port_connected_to(jackPort, destinationName.constData())) {
            if (!connectOutput(*own, destinationName)) {
                return 1;
            }
        }
    }
    const SendHeader header = packet.length;
    std::uint64_t lastCycle = m_cycles.load();
    auto lastProgress = std::chrono::steady_clock::now();
    while (!own->ring->write(&header, sizeof header, packet.data, packet.length)) {
        if (m_serverGone.load()) {
            return 1;
        }
        const std::uint64_t cycle = m_cycles.load();
        const auto now = std::chrono::steady_clock::now();
        if (cycle != lastCycle) {
            lastCycle = cycle;
            lastProgress = now;
        } else if (now - lastProgress > StallLimit) {
            return 1;
        }
        std::this_thread::sleep_for(PollInterval);
    }
    return 0;
}

std::uint64_t JackMidiService::hostTimeNanos()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

QString JackMidiService::ownPortName(MidiPortRef port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(port);
    jack_port_t* jackPort = own ? own->jackPort.load() : nullptr;
    return jackPort ? QString::fromUtf8(jack_port_name(jackPort)) : QString();
}

void JackMidiService::process(std::uint32_t frames)
{
    const std::uint64_t cycleTime = hostTimeNanos();
    const std::size_t receivedBefore = m_received.readSpace();
    for (std::size_t slot = 0; slot < MaxOwnPorts; ++slot) {
        OwnPort& own = m_ports[slot];
        if (jack_port_t* jackPort = own.jackPort.load(std::memory_order_acquire)) {
            if (own.isInput) {
                receive(own, jackPort, static_cast<std::uint32_t>(slot), frames, cycleTime);
            } else {
                transmit(own, jackPort, frames);
            }
        }
    }
    if (m_received.readSpace() != receivedBefore) {
        sem_post(&m_wakeDelivery);
    }
    m_cycles.fetch_add(1, std::memory_order_release);
}

void JackMidiService::receive(OwnPort& own, jack_port_t* jackPort, std::uint32_t slot, std::uint32_t frames,
                              std::uint64_t cycleTime)
{
    const std::uint32_t generation = own.generation.load(std::memory_order_acquire);
    void* buffer = jack_port_get_buffer(jackPort, frames);
    const jack_nframes_t count = jack_midi_get_event_count(buffer);
    for (jack_nframes_t i = 0; i < count; ++i) {
        jack_midi_event_t event;
        if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) {
            continue;
        }
        const ReceivedHeader header{cycleTime, slot, generation, static_cast<std::uint32_t>(event.size)};
        if (!m_received.write(&header, sizeof header, event.buffer, event.size)) {
            // Nothing may wait here; the ring holds seconds of the fastest JACK MIDI stream.
            m_receivedOverruns.fetch_add(1, std::memory_order_relaxed);
        }
    }
}

void JackMidiService::transmit(OwnPort& own, jack_port_t* jackPort, std::uint32_t frames)
{
    void* buffer = jack_port_get_buffer(jackPort, frames);
    jack_midi_clear_buffer(buffer);
    JackByteRing& ring = *own.ring;
    bool wroteEvent = false;
    for (;;) {
        if (own.pendingLength == 0) {
            if (ring.readSpace() < sizeof(SendHeader)) {
                return;
            }
            SendHeader length = 0;
            unsigned char status = 0;
            ring.peek(0, &length, sizeof length);
            ring.peek(sizeof length, &status, 1);
            own.pendingLength = length;
            own.pendingOffset = 0;
            own.pendingSplittable = status == 0xF0;
        }
        const std::size_t remaining = own.pendingLength - own.pendingOffset;
        const std::size_t chunk = std::min(remaining, jack_midi_max_event_size(buffer));
        // A system exclusive continues in the next cycles; anything else goes out whole, unless
        // it could never fit one cycle's buffer.
        if (chunk == 0 || (chunk < remaining && !own.pendingSplittable && wroteEvent)) {
            return;
        }
        jack_midi_data_t* data = jack_midi_event_reserve(buffer, 0, chunk);
        if (!data) {
            return;
        }
        ring.peek(sizeof(SendHeader) + own.pendingOffset, data, chunk);
        wroteEvent = true;
        own.pendingOffset += static_cast<std::uint32_t>(chunk);
        if (own.pendingOffset < own.pendingLength) {
            return;
        }
        ring.consume(sizeof(SendHeader) + own.pendingLength);
        own.pendingLength = 0;
    }
}

bool JackMidiService::ensureClient(bool reconnect)
{
    if (m_client && m_serverGone.load()) {
        closeClient();
    }
    if (!m_client && reconnect && !m_clientDisposed) {
        openClient();
    }
    return m_client != nullptr;
}

bool JackMidiService::openClient()
{
    jack_status_t status;
    jack_client_t* client = jack_client_open(m_clientName.constData(), JackNoStartServer, &status);
    if (!client) {
        return false;
    }
    m_serverGone.store(false);
    m_client = client;
    jack_set_process_callback(
        client,
        [](jack_nframes_t frames, void* arg) {
            static_cast<JackMidiService*>(arg)->process(frames);
            return 0;
        },
        this);
    jack_on_info_shutdown(
        client,
        [](jack_status_t, const char*, void* arg) { static_cast<JackMidiService*>(arg)->m_serverGone.store(true); },
        this);
    bool registered = true;
    for (OwnPort& own : m_ports) {
        if (!own.used) {
            continue;
        }
        if (own.ring) {
            own.ring->reset();
        }
        own.pendingLength = 0;
        own.pendingOffset = 0;
        own.connectedDestination.clear();
        registered = registerJackPort(own) && registered;
    }
    if (!registered || jack_activate(client) != 0) {
        closeClient();
        return false;
    }
    return true;
}

void JackMidiService::closeClient()
{
    for (OwnPort& own : m_ports) {
        own.jackPort.store(nullptr);
        own.connectedDestination.clear();
    }
    if (!m_serverGone.load()) {
        jack_deactivate(m_client);
    }
    jack_client_close(m_client);
    m_client = nullptr;
    m_sources.clear();
    m_destinations.clear();
    m_endpoints.clear();
}

JackMidiService::OwnPort* JackMidiService::claimPort(const QString& name, bool isInput)
{
    for (OwnPort& own : m_ports) {
        if (own.used) {
            continue;
        }
        // JACK wants port names unique within a client: the second "InputPort" is "InputPort 2".
        const QByteArray base = name.toUtf8();
        QByteArray shortName = base;
        for (int n = 2;; ++n) {
            bool taken = false;
            for (const OwnPort& other : m_ports) {
                taken = taken || (other.used && other.shortName == shortName);
            }
            if (!taken) {
                break;
            }
            shortName = base + ' ' + QByteArray::number(n);
        }
        own.isInput = isInput;
        own.shortName = shortName;
        own.connectedDestination.clear();
        return &own;
    }
    return nullptr;
}

bool JackMidiService::registerJackPort(OwnPort& own)
{
    jack_port_t* jackPort = jack_port_register(m_client, own.shortName.constData(), JACK_DEFAULT_MIDI_TYPE,
                                               own.isInput ? JackPortIsInput : JackPortIsOutput, 0);
    own.jackPort.store(jackPort, std::memory_order_release);
    return jackPort != nullptr;
}

void JackMidiService::refreshEndpoints()
{
    std::map<MidiEndpointRef, Endpoint> seen;
    m_sources.clear();
    m_destinations.clear();
    const char** names = jack_get_ports(m_client, nullptr, JACK_DEFAULT_MIDI_TYPE, 0);
    for (const char** name = names; name && *name; ++name) {
        jack_port_t* port = jack_port_by_name(m_client, *name);
        if (!port || jack_port_is_mine(m_client, port)) {
            continue;
        }
        const Endpoint endpoint{QByteArray(*name), jack_port_uuid(port)};
        // A port keeps its number while it exists; a new port that reuses a JACK port id under
        // another name gets a new one.
        MidiEndpointRef ref = InvalidPortRef;
        for (const auto& known : m_endpoints) {
            if (known.second.uuid == endpoint.uuid && known.second.fullName == endpoint.fullName) {
                ref = known.first;
            }
        }
        if (ref == InvalidPortRef) {
            ref = m_nextEndpointRef;
            m_nextEndpointRef = m_nextEndpointRef == LastEndpointRef ? 1 : m_nextEndpointRef + 1;
        }
        seen[ref] = endpoint;
        const int flags = jack_port_flags(port);
        if (flags & JackPortIsOutput) {
            m_sources.push_back(ref);
        } else if (flags & JackPortIsInput) {
            m_destinations.push_back(ref);
        }
    }
    jack_free(names);
    m_endpoints.swap(seen);
}

const JackMidiService::Endpoint* JackMidiService::findEndpoint(MidiEndpointRef ref) const
{
    const auto found = m_endpoints.find(ref);
    return found == m_endpoints.end() ? nullptr : &found->second;
}

JackMidiService::OwnPort* JackMidiService::findOwnPort(MidiPortRef ref)
{
    if (ref < OwnPortRefBase || ref - OwnPortRefBase >= MaxOwnPorts) {
        return nullptr;
    }
    OwnPort& own = m_ports[ref - OwnPortRefBase];
    return own.used ? &own : nullptr;
}

JackMidiService::OwnPort* JackMidiService::findOutputPort(MidiPortRef ref)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(ref);
    return own && !own->isInput ? own : nullptr;
}

bool JackMidiService::waitForCycles(std::uint64_t count)
{
    const std::uint64_t target = m_cycles.load() + count;
    const auto start = std::chrono::steady_clock::now();
    while (m_cycles.load() < target) {
        if (m_serverGone.load() || std::chrono::steady_clock::now() - start > StallLimit) {
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
    return !m_serverGone.load();
}

bool JackMidiService::connectOutput(OwnPort& own, const QByteArray& destination)
{
    // What was sent to the previous destination leaves before the connection moves.
    disconnectOutput(own);
    const int status = jack_connect(m_client, jack_port_name(own.jackPort.load()), destination.constData());
    if (status != 0 && status != EEXIST) {
        return false;
    }
    own.connectedDestination = destination;
    return waitForCycles(2);
}

void JackMidiService::disconnectOutput(OwnPort& own)
{
    jack_port_t* jackPort = own.jackPort.load();
    if (jackPort && !own.connectedDestination.isEmpty()) {
        while (own.ring->readSpace() > 0 && waitForCycles(1)) {
        }
        // The last events are read in the cycle that wrote them or, through a loop back into
        // the program, in the next one.
        waitForCycles(2);
        jack_disconnect(m_client, jack_port_name(jackPort), own.connectedDestination.constData());
    }
    own.connectedDestination.clear();
}

void JackMidiService::waitUntilNotDelivering(std::size_t slot, std::unique_lock<std::mutex>& delivery)
{
    if (std::this_thread::get_id() == m_deliveryThread.get_id()) {
        return;
    }
    // A count, not the slot alone: under a flood the next call may begin before this wakes.
    const std::uint64_t finished = m_deliveriesFinished;
    m_deliveryDone.wait(delivery, [&] { return m_deliveringSlot != slot || m_deliveriesFinished != finished; });
}

void JackMidiService::deliveryLoop()
{
    std::vector<unsigned char> data;
    std::vector<MidiPacket> packets;
    for (;;) {
        while (sem_wait(&m_wakeDelivery) != 0 && errno == EINTR) {
        }
        if (m_stopDelivery.load()) {
            return;
        }
        while (m_received.readSpace() >= sizeof(ReceivedHeader)) {
            ReceivedHeader header;
            m_received.peek(0, &header, sizeof header);
            data.resize(header.length);
            m_received.peek(sizeof header, data.data(), header.length);
            m_received.consume(sizeof header + header.length);
            packets.clear();
            for (std::size_t offset = 0; offset < data.size(); offset += MaxPacketLength) {
                const std::size_t length = std::min(MaxPacketLength, data.size() - offset);
                packets.push_back(MidiPacket{header.hostTime, static_cast<std::uint16_t>(length), data.data() + offset});
            }
            std::unique_lock<std::mutex> delivery(m_deliveryMutex);
            const OwnPort& own = m_ports[header.slot];
            if (own.readProc && header.generation == own.generation.load(std::memory_order_relaxed)) {
                const MidiReadProc readProc = own.readProc;
                void* const readProcRefCon = own.readProcRefCon;
                // Connections made outside the program (jack_connect) deliver with the port's context.
                void* const srcConnRefCon = own.srcConnRefCon ? own.srcConnRefCon : own.readProcRefCon;
                m_deliveringSlot = header.slot;
                delivery.unlock();
                readProc(packets.data(), static_cast<unsigned int>(packets.size()), readProcRefCon, srcConnRefCon);
                delivery.lock();
                m_deliveringSlot = MaxOwnPorts;
                ++m_deliveriesFinished;
                m_deliveryDone.notify_all();
            }
        }
    }
}
