#include "midi/alsa/AlsaMidiService.h"

#include <chrono>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr MidiClientRef ClientRef = 1;
constexpr MidiObjectRef OwnPortRefBase = 0x40000000;
// A packet handed to a read procedure never exceeds this; longer exclusives arrive in pieces.
constexpr std::size_t MaxPacketLength = 16384;
// Cells of the client's pools: the most the sequencer allows, so that a 16384-byte exclusive
// fits as one event in both directions.
constexpr int PoolCells = 2000;
constexpr std::size_t InputBufferSize = 1 << 17;

MidiEndpointRef endpointRef(int client, int port)
{
    return MidiEndpointRef(client * 256 + port);
}

int clientOf(MidiEndpointRef ref)
{
    return int(ref / 256);
}

int portOf(MidiEndpointRef ref)
{
    return int(ref % 256);
}

// alsa-lib prints every failure (a missing /dev/snd/seq included) on standard error; the
// service reports through its results instead.
void ignoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}
}

AlsaMidiService::AlsaMidiService(const QString& clientName)
{
    snd_lib_error_set_handler(ignoreAlsaMessage);
    if (snd_seq_open(&m_seq, "default", SND_SEQ_OPEN_DUPLEX, 0) < 0) {
        m_seq = nullptr;
        return;
    }
    snd_seq_set_client_name(m_seq, clientName.toUtf8().constData());
    snd_seq_set_client_pool_output(m_seq, PoolCells);
    snd_seq_set_client_pool_input(m_seq, PoolCells);
    snd_seq_set_input_buffer_size(m_seq, InputBufferSize);
    m_clientId = snd_seq_client_id(m_seq);
    m_stopFd = eventfd(0, EFD_CLOEXEC);
    if (m_clientId < 0 || m_stopFd < 0) {
        snd_seq_close(m_seq);
        m_seq = nullptr;
        return;
    }
    m_reader = std::thread([this] { readLoop(); });
}

AlsaMidiService::~AlsaMidiService()
{
    if (!m_seq) {
        return;
    }
    const std::uint64_t stop = 1;
    if (write(m_stopFd, &stop, sizeof stop) != sizeof stop) {
        // The reader also ends when the descriptor is closed under it; it never is before join.
    }
    m_reader.join();
    close(m_stopFd);
    snd_seq_close(m_seq);
}

int AlsaMidiService::ownPortNumber(MidiPortRef port)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(port);
    return own ? own->number : -1;
}

MidiStatus AlsaMidiService::createClient(const QString&, MidiClientRef* client)
{
    if (!m_seq) {
        return 1;
    }
    *client = ClientRef;
    return 0;
}

MidiStatus AlsaMidiService::disposeClient(MidiClientRef client)
{
    return client == ClientRef && m_seq ? 0 : 1;
}

MidiStatus AlsaMidiService::createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                            void* readProcRefCon, MidiPortRef* port)
{
    OwnPort* own = nullptr;
    if (createPort(client, name, true, port, &own) != 0) {
        return 1;
    }
    std::lock_guard<std::mutex> delivery(m_deliveryMutex);
    own->readProc = readProc;
    own->readProcRefCon = readProcRefCon;
    own->connections.clear();
    return 0;
}

MidiStatus AlsaMidiService::createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port)
{
    OwnPort* own = nullptr;
    return createPort(client, name, false, port, &own);
}

MidiStatus AlsaMidiService::createPort(MidiClientRef client, const QString& name, bool isInput, MidiPortRef* port,
                                       OwnPort** created)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_seq || client != ClientRef) {
        return 1;
    }
    for (std::size_t slot = 0; slot < MaxOwnPorts; ++slot) {
        OwnPort& own = m_ports[slot];
        if (own.used) {
            continue;
        }
        const unsigned int capabilities = isInput ? SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE
                                                  : SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
        const int number = snd_seq_create_simple_port(m_seq, name.toUtf8().constData(), capabilities,
                                                      SND_SEQ_PORT_TYPE_MIDI_GENERIC | SND_SEQ_PORT_TYPE_APPLICATION);
        if (number < 0) {
            return 1;
        }
        if (!isInput) {
            own.codec = std::make_unique<AlsaEventCodec>();
            if (!own.codec->isValid()) {
                snd_seq_delete_simple_port(m_seq, number);
                return 1;
            }
        }
        own.used = true;
        own.isInput = isInput;
        own.number = number;
        *port = OwnPortRefBase + MidiPortRef(slot);
        *created = &own;
        return 0;
    }
    return 1;
}

MidiStatus AlsaMidiService::disposePort(MidiObjectRef object)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(object);
    if (!own) {
        // A destination needs no release: events go to it directly, without a subscription.
        return m_seq && object != InvalidPortRef ? 0 : 1;
    }
    {
        std::lock_guard<std::mutex> delivery(m_deliveryMutex);
        own->readProc = nullptr;
        own->readProcRefCon = nullptr;
        own->connections.clear();
    }
    snd_seq_delete_simple_port(m_seq, own->number);
    own->used = false;
    own->number = -1;
    return 0;
}

unsigned int AlsaMidiService::getNumberOfSources()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    refreshEndpoints();
    return static_cast<unsigned int>(m_sources.size());
}

MidiEndpointRef AlsaMidiService::getSource(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_sources.size() ? m_sources[index] : InvalidPortRef;
}

unsigned int AlsaMidiService::getNumberOfDestinations()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    refreshEndpoints();
    return static_cast<unsigned int>(m_destinations.size());
}

MidiEndpointRef AlsaMidiService::getDestination(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return index < m_destinations.size() ? m_destinations[index] : InvalidPortRef;
}

MidiStatus AlsaMidiService::getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    snd_seq_port_info_t* port;
    snd_seq_port_info_alloca(&port);
    if (!portExists(endpoint, port)) {
        return 1;
    }
    const QString portName = QString::fromUtf8(snd_seq_port_info_get_name(port));
    if (property == MidiStringProperty::Name) {
        *value = portName;
        return 0;
    }
    snd_seq_client_info_t* client;
    snd_seq_client_info_alloca(&client);
    if (snd_seq_get_any_client_info(m_seq, clientOf(endpoint), client) < 0) {
        return 1;
    }
    *value = displayName(QString::fromUtf8(snd_seq_client_info_get_name(client)), portName);
    return 0;
}

MidiStatus AlsaMidiService::getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty, std::int32_t* value)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    snd_seq_port_info_t* port;
    snd_seq_port_info_alloca(&port);
    if (!portExists(endpoint, port)) {
        return 1;
    }
    *value = static_cast<std::int32_t>(endpoint);
    return 0;
}

MidiStatus AlsaMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(port);
    if (!own || !own->isInput || source == InvalidPortRef || source >= OwnPortRefBase) {
        return 1;
    }
    const int status = snd_seq_connect_from(m_seq, own->number, clientOf(source), portOf(source));
    if (status < 0 && status != -EBUSY) {
        return 1;
    }
    std::lock_guard<std::mutex> delivery(m_deliveryMutex);
    own->connections[source] = srcConnRefCon;
    return 0;
}

MidiStatus AlsaMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    OwnPort* own = findOwnPort(port);
    if (!own || !own->isInput || source == InvalidPortRef || source >= OwnPortRefBase) {
        return 1;
    }
    const int status = snd_seq_disconnect_from(m_seq, own->number, clientOf(source), portOf(source));
    // Whatever the source still has queued for us no longer carries the connection's context.
    std::lock_guard<std::mutex> delivery(m_deliveryMutex);
    own->connections.erase(source);
    return status < 0 ? 1 : 0;
}

MidiStatus AlsaMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    OwnPort* own = nullptr;
    int number = -1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        own = findOwnPort(port);
        if (!own || own->isInput || destination == InvalidPortRef || destination >= OwnPortRefBase) {
            return 1;
        }
        number = own->number;
    }
    // Blocking output: a full pool holds the sender instead of losing the message.
    std::lock_guard<std::mutex> sending(m_sendMutex);
    const bool sent = own->codec->encode(packet.data, packet.length, [&](snd_seq_event_t& event) {
        snd_seq_ev_set_source(&event, number);
        snd_seq_ev_set_dest(&event, clientOf(destination), portOf(destination));
        snd_seq_ev_set_direct(&event);
        return snd_seq_event_output_direct(m_seq, &event) >= 0;
    });
    return sent ? 0 : 1;
}

std::uint64_t AlsaMidiService::hostTimeNanos()
{
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count());
}

QString AlsaMidiService::displayName(const QString& clientName, const QString& portName)
{
    if (clientName.isEmpty() || portName.startsWith(clientName)) {
        return portName;
    }
    return clientName + QStringLiteral(": ") + portName;
}

void AlsaMidiService::refreshEndpoints()
{
    m_sources.clear();
    m_destinations.clear();
    if (!m_seq) {
        return;
    }
    snd_seq_client_info_t* client;
    snd_seq_port_info_t* port;
    snd_seq_client_info_alloca(&client);
    snd_seq_port_info_alloca(&port);
    snd_seq_client_info_set_client(client, -1);
    while (snd_seq_query_next_client(m_seq, client) >= 0) {
        const int clientId = snd_seq_client_info_get_client(client);
        if (clientId == SND_SEQ_CLIENT_SYSTEM || clientId == m_clientId) {
            continue;
        }
        snd_seq_port_info_set_client(port, clientId);
        snd_seq_port_info_set_port(port, -1);
        while (snd_seq_query_next_port(m_seq, port) >= 0) {
            const unsigned int capabilities = snd_seq_port_info_get_capability(port);
            if (capabilities & SND_SEQ_PORT_CAP_NO_EXPORT) {
                continue;
            }
            const MidiEndpointRef ref = endpointRef(clientId, snd_seq_port_info_get_port(port));
            constexpr unsigned int readable = SND_SEQ_PORT_CAP_READ | SND_SEQ_PORT_CAP_SUBS_READ;
            constexpr unsigned int writable = SND_SEQ_PORT_CAP_WRITE | SND_SEQ_PORT_CAP_SUBS_WRITE;
            if ((capabilities & readable) == readable) {
                m_sources.push_back(ref);
            }
            if ((capabilities & writable) == writable) {
                m_destinations.push_back(ref);
            }
        }
    }
}

bool AlsaMidiService::portExists(MidiEndpointRef endpoint, snd_seq_port_info_t* info)
{
    return m_seq && endpoint != InvalidPortRef && endpoint < OwnPortRefBase && clientOf(endpoint) != m_clientId &&
           snd_seq_get_any_port_info(m_seq, clientOf(endpoint), portOf(endpoint), info) >= 0;
}

AlsaMidiService::OwnPort* AlsaMidiService::findOwnPort(MidiPortRef ref)
{
    if (!m_seq || ref < OwnPortRefBase || ref - OwnPortRefBase >= MaxOwnPorts) {
        return nullptr;
    }
    OwnPort& own = m_ports[ref - OwnPortRefBase];
    return own.used ? &own : nullptr;
}

void AlsaMidiService::readLoop()
{
    AlsaEventCodec codec;
    std::vector<unsigned char> bytes;
    const int count = snd_seq_poll_descriptors_count(m_seq, POLLIN);
    std::vector<pollfd> descriptors(std::size_t(count) + 1);
    descriptors[0] = pollfd{m_stopFd, POLLIN, 0};
    snd_seq_poll_descriptors(m_seq, descriptors.data() + 1, unsigned(count), POLLIN);
    for (;;) {
        if (poll(descriptors.data(), descriptors.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (descriptors[0].revents) {
            return;
        }
        // The sequencer said there is input, so the first read does not block; the rest come
        // from what that read buffered.
        do {
            snd_seq_event_t* event = nullptr;
            const int status = snd_seq_event_input(m_seq, &event);
            if (status == -ENOSPC) {
                // The kernel's queue for this client overflowed: the lost events cannot come back.
                continue;
            }
            if (status < 0 || !event) {
                break;
            }
            deliver(*event, codec, bytes);
        } while (snd_seq_event_input_pending(m_seq, 0) > 0);
    }
}

void AlsaMidiService::deliver(const snd_seq_event_t& event, AlsaEventCodec& codec, std::vector<unsigned char>& bytes)
{
    bytes.clear();
    if (!codec.decode(event, bytes)) {
        return;
    }
    std::vector<MidiPacket> packets;
    for (std::size_t offset = 0; offset < bytes.size(); offset += MaxPacketLength) {
        const std::size_t length = std::min(MaxPacketLength, bytes.size() - offset);
        packets.push_back(MidiPacket{0, static_cast<std::uint16_t>(length), bytes.data() + offset});
    }
    std::lock_guard<std::mutex> delivery(m_deliveryMutex);
    for (const OwnPort& own : m_ports) {
        if (own.readProc && own.number == event.dest.port) {
            // Connections made outside the program (aconnect) deliver with the port's context.
            const auto connection = own.connections.find(endpointRef(event.source.client, event.source.port));
            own.readProc(packets.data(), static_cast<unsigned int>(packets.size()), own.readProcRefCon,
                         connection != own.connections.end() ? connection->second : own.readProcRefCon);
            return;
        }
    }
}
