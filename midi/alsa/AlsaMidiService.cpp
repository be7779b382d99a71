#include "midi/alsa/AlsaMidiService.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <limits>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
constexpr MidiClientRef ClientRef = 1;
constexpr MidiObjectRef OwnPortRefBase = 0x40000000;
// A packet handed to a read procedure never exceeds this; longer exclusives arrive in pieces.
constexpr std::size_t MaxPacketLength = 16384;
// Cells of the client's pools: the most the sequencer allows, so that what other programs send
// in large events still fits.
constexpr int PoolCells = 2000;
constexpr std::size_t InputBufferSize = 1 << 17;
// A program's port that stays full this long is taken to be stuck.
constexpr std::chrono::seconds StallLimit{5};
constexpr std::chrono::microseconds FirstRetryWait{100};
constexpr std::chrono::milliseconds LongestRetryWait{5};

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

// The kernel's answer to "how much of a client's input pool is free", asked of any client.
// alsa-lib asks it only of the program's own client, so the service asks the device itself.
struct ClientPoolQuery {
    int client;
    int outputPool;
    int inputPool;
    int outputRoom;
    int outputFree;
    int inputFree;
    char reserved[64];
};
constexpr unsigned long GetClientPoolRequest = _IOWR('S', 0x4b, ClientPoolQuery);

// Pool cells an event takes in the receiver: one, plus its variable data in cells of one event.
int cellsOf(const snd_seq_event_t& event)
{
    if ((event.flags & SND_SEQ_EVENT_LENGTH_MASK) != SND_SEQ_EVENT_LENGTH_VARIABLE) {
        return 1;
    }
    return 1 + int((event.data.ext.len + sizeof(snd_seq_event_t) - 1) / sizeof(snd_seq_event_t));
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
    pollfd descriptor{};
    if (snd_seq_type(m_seq) == SND_SEQ_TYPE_HW && snd_seq_poll_descriptors(m_seq, &descriptor, 1, POLLOUT) == 1) {
        m_deviceFd = descriptor.fd;
    }
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
        const int number = snd_seq_create_simple_port(m_seq, uniquePortName(name, isInput).toUtf8().constData(),
                                                      capabilities,
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
            own.destination = InvalidPortRef;
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

QString AlsaMidiService::uniquePortName(const QString& name, bool isInput) const
{
    // Patchbays and aconnect tell ports apart by name: the second "InputPort" is "InputPort 2".
    int taken = 0;
    for (const OwnPort& own : m_ports) {
        if (own.used && own.isInput == isInput) {
            ++taken;
        }
    }
    return taken == 0 ? name : QStringLiteral("%1 %2").arg(name).arg(taken + 1);
}

MidiStatus AlsaMidiService::disposePort(MidiObjectRef object)
{
    std::unique_lock<std::mutex> sending;
    if (OwnPort* own = lockOutputPort(object, sending)) {
        std::lock_guard<std::mutex> lock(m_mutex);
        releaseDestination(*own);
        snd_seq_delete_simple_port(m_seq, own->number);
        own->codec.reset();
        own->used = false;
        own->number = -1;
        return 0;
    }
    OwnPort* own = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        own = findOwnPort(object);
        if (!own) {
            // A destination holds nothing of its own: its subscription belongs to the output port.
            return m_seq && object != InvalidPortRef ? 0 : 1;
        }
        snd_seq_delete_simple_port(m_seq, own->number);
    }
    std::unique_lock<std::mutex> delivery(m_deliveryMutex);
    own->readProc = nullptr;
    own->readProcRefCon = nullptr;
    own->connections.clear();
    waitUntilNotDelivering(*own, delivery);
    delivery.unlock();
    std::lock_guard<std::mutex> lock(m_mutex);
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
    if (!isEndpoint(endpoint)) {
        return 1;
    }
    snd_seq_port_info_t* port;
    snd_seq_port_info_alloca(&port);
    if (snd_seq_get_any_port_info(m_seq, clientOf(endpoint), portOf(endpoint), port) < 0) {
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
    if (!portExists(endpoint)) {
        return 1;
    }
    *value = static_cast<std::int32_t>(endpoint);
    return 0;
}

MidiStatus AlsaMidiService::connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon)
{
    OwnPort* own = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        own = findOwnPort(port);
        if (!own || !own->isInput || !portExists(source)) {
            return 1;
        }
        // EBUSY means another client holds the source exclusively, unless the subscription is
        // already ours.
        if (!isSubscribed(clientOf(source), portOf(source), m_clientId, own->number) &&
            snd_seq_connect_from(m_seq, own->number, clientOf(source), portOf(source)) < 0) {
            return 1;
        }
    }
    std::lock_guard<std::mutex> delivery(m_deliveryMutex);
    own->connections[source] = srcConnRefCon;
    return 0;
}

MidiStatus AlsaMidiService::disconnectSource(MidiPortRef port, MidiEndpointRef source)
{
    OwnPort* own = nullptr;
    int status = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        own = findOwnPort(port);
        if (!own || !own->isInput || !isEndpoint(source)) {
            return 1;
        }
        status = snd_seq_disconnect_from(m_seq, own->number, clientOf(source), portOf(source));
    }
    // Whatever the source still has queued for us no longer carries the connection's context,
    // and a call that carries it has returned before the caller frees it.
    std::unique_lock<std::mutex> delivery(m_deliveryMutex);
    own->connections.erase(source);
    waitUntilNotDelivering(*own, delivery);
    return status < 0 ? 1 : 0;
}

MidiStatus AlsaMidiService::connectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    std::unique_lock<std::mutex> sending;
    OwnPort* own = lockOutputPort(port, sending);
    if (!own) {
        return 1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    return subscribe(*own, destination) ? 0 : 1;
}

bool AlsaMidiService::subscribe(OwnPort& own, MidiEndpointRef destination)
{
    if (own.destination == destination &&
        isSubscribed(m_clientId, own.number, clientOf(destination), portOf(destination))) {
        return true;
    }
    releaseDestination(own);
    snd_seq_client_info_t* client;
    snd_seq_client_info_alloca(&client);
    if (!portExists(destination) || snd_seq_get_any_client_info(m_seq, clientOf(destination), client) < 0) {
        return false;
    }
    // EBUSY: another client holds the destination exclusively.
    if (!isSubscribed(m_clientId, own.number, clientOf(destination), portOf(destination)) &&
        snd_seq_connect_to(m_seq, own.number, clientOf(destination), portOf(destination)) < 0) {
        return false;
    }
    own.destination = destination;
    own.destinationIsKernelPort = snd_seq_client_info_get_type(client) == SND_SEQ_KERNEL_CLIENT;
    own.budget.reset(AlsaPacingBudget::Clock::now());
    return true;
}

MidiStatus AlsaMidiService::disconnectDestination(MidiPortRef port, MidiEndpointRef destination)
{
    std::unique_lock<std::mutex> sending;
    OwnPort* own = lockOutputPort(port, sending);
    if (!own) {
        return 1;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    if (own->destination != destination) {
        return 1;
    }
    releaseDestination(*own);
    return 0;
}

MidiStatus AlsaMidiService::send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet)
{
    std::unique_lock<std::mutex> sending;
    OwnPort* own = lockOutputPort(port, sending);
    if (!own || packet.length == 0) {
        return 1;
    }
    int number = -1;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // A destination that was not opened through connectDestination is subscribed now.
        if (own->destination != destination && !subscribe(*own, destination)) {
            return 1;
        }
        number = own->number;
    }
    const int destClient = clientOf(destination);
    const int destPort = portOf(destination);
    // Without the subscription the events would go nowhere and still be accepted.
    if (!isSubscribed(m_clientId, number, destClient, destPort)) {
        own->codec->resetEncoder();
        return 1;
    }
    const bool whole = own->codec->encode(packet.data, packet.length, [&](snd_seq_event_t& event, std::size_t midiBytes) {
        snd_seq_ev_set_source(&event, number);
        snd_seq_ev_set_subs(&event);
        snd_seq_ev_set_direct(&event);
        return output(*own, event, midiBytes);
    });
    // A destination that vanished mid-send took its subscription along; the chunks after that
    // were accepted by nobody.
    return whole && isSubscribed(m_clientId, number, destClient, destPort) ? 0 : 1;
}

bool AlsaMidiService::output(OwnPort& own, snd_seq_event_t& event, std::size_t midiBytes)
{
    if (own.destinationIsKernelPort) {
        pace(own, midiBytes);
    }
    const auto start = std::chrono::steady_clock::now();
    std::chrono::microseconds wait = FirstRetryWait;
    for (;;) {
        // An event that finds a program's pool full is refused, and the refusal also makes the
        // program's next read throw away everything queued for it: wait until it fits instead.
        if (!own.destinationIsKernelPort && freeInputCells(own.destination) < cellsOf(event)) {
            if (std::chrono::steady_clock::now() - start > StallLimit) {
                return false;
            }
            std::this_thread::sleep_for(wait);
            wait = std::min<std::chrono::microseconds>(wait * 2, LongestRetryWait);
            continue;
        }
        int status = 0;
        {
            std::lock_guard<std::mutex> lock(m_outputMutex);
            status = snd_seq_event_output_direct(m_seq, &event);
        }
        if (status >= 0) {
            return true;
        }
        // A program's port answers EAGAIN while its pool is full, ENOMEM while an event does
        // not fit what is free of it.
        if ((status != -EAGAIN && status != -ENOMEM) || std::chrono::steady_clock::now() - start > StallLimit) {
            return false;
        }
        std::this_thread::sleep_for(wait);
        wait = std::min<std::chrono::microseconds>(wait * 2, LongestRetryWait);
    }
}

int AlsaMidiService::freeInputCells(MidiEndpointRef destination) const
{
    ClientPoolQuery query{};
    query.client = clientOf(destination);
    // Without an answer (a client that is gone, a handle that is not the device) the write
    // itself tells.
    if (m_deviceFd < 0 || ioctl(m_deviceFd, GetClientPoolRequest, &query) < 0 || query.inputPool <= 0) {
        return std::numeric_limits<int>::max();
    }
    return query.inputFree;
}

void AlsaMidiService::pace(OwnPort& own, std::size_t midiBytes)
{
    for (;;) {
        const auto wait = own.budget.waitBefore(midiBytes, AlsaPacingBudget::Clock::now());
        if (wait == AlsaPacingBudget::Clock::duration::zero()) {
            own.budget.take(midiBytes, AlsaPacingBudget::Clock::now());
            return;
        }
        std::this_thread::sleep_for(wait);
    }
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

bool AlsaMidiService::isEndpoint(MidiEndpointRef endpoint) const
{
    return m_seq && endpoint != InvalidPortRef && endpoint < OwnPortRefBase && clientOf(endpoint) != m_clientId;
}

bool AlsaMidiService::portExists(MidiEndpointRef endpoint)
{
    snd_seq_port_info_t* info;
    snd_seq_port_info_alloca(&info);
    return isEndpoint(endpoint) && snd_seq_get_any_port_info(m_seq, clientOf(endpoint), portOf(endpoint), info) >= 0;
}

bool AlsaMidiService::isSubscribed(int senderClient, int senderPort, int destClient, int destPort)
{
    snd_seq_port_subscribe_t* subscription;
    snd_seq_port_subscribe_alloca(&subscription);
    const snd_seq_addr_t sender{static_cast<unsigned char>(senderClient), static_cast<unsigned char>(senderPort)};
    const snd_seq_addr_t dest{static_cast<unsigned char>(destClient), static_cast<unsigned char>(destPort)};
    snd_seq_port_subscribe_set_sender(subscription, &sender);
    snd_seq_port_subscribe_set_dest(subscription, &dest);
    return snd_seq_get_port_subscription(m_seq, subscription) >= 0;
}

AlsaMidiService::OwnPort* AlsaMidiService::findOwnPort(MidiPortRef ref)
{
    if (!m_seq || ref < OwnPortRefBase || ref - OwnPortRefBase >= MaxOwnPorts) {
        return nullptr;
    }
    OwnPort& own = m_ports[ref - OwnPortRefBase];
    return own.used ? &own : nullptr;
}

AlsaMidiService::OwnPort* AlsaMidiService::lockOutputPort(MidiPortRef port, std::unique_lock<std::mutex>& sending)
{
    OwnPort* own = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        own = findOwnPort(port);
        if (!own || own->isInput) {
            return nullptr;
        }
    }
    sending = std::unique_lock<std::mutex>(own->sendMutex);
    // Ports are created and disposed on one thread; this only guards against a stale reference.
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!own->used || own->isInput) {
        sending.unlock();
        return nullptr;
    }
    return own;
}

void AlsaMidiService::releaseDestination(OwnPort& own)
{
    if (own.destination != InvalidPortRef) {
        snd_seq_disconnect_to(m_seq, own.number, clientOf(own.destination), portOf(own.destination));
    }
    own.destination = InvalidPortRef;
    own.codec->resetEncoder();
}

void AlsaMidiService::waitUntilNotDelivering(const OwnPort& own, std::unique_lock<std::mutex>& delivery)
{
    // A count, not the port alone: under a flood the reader may begin the next call for the same
    // port before this thread wakes, and would starve it.
    const std::uint64_t finished = m_deliveriesFinished;
    m_deliveryDone.wait(delivery, [&] { return m_delivering != &own || m_deliveriesFinished != finished; });
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
            deliver(*event, hostTimeNanos(), codec, bytes);
        } while (snd_seq_event_input_pending(m_seq, 0) > 0);
    }
}

void AlsaMidiService::deliver(const snd_seq_event_t& event, std::uint64_t hostTime, AlsaEventCodec& codec,
                              std::vector<unsigned char>& bytes)
{
    bytes.clear();
    if (!codec.decode(event, bytes)) {
        return;
    }
    std::vector<MidiPacket> packets;
    for (std::size_t offset = 0; offset < bytes.size(); offset += MaxPacketLength) {
        const std::size_t length = std::min(MaxPacketLength, bytes.size() - offset);
        packets.push_back(MidiPacket{hostTime, static_cast<std::uint16_t>(length), bytes.data() + offset});
    }
    std::unique_lock<std::mutex> delivery(m_deliveryMutex);
    for (const OwnPort& own : m_ports) {
        if (own.readProc && own.number == event.dest.port) {
            // Connections made outside the program (aconnect) deliver with the port's context.
            const auto connection = own.connections.find(endpointRef(event.source.client, event.source.port));
            void* const srcConnRefCon =
                connection != own.connections.end() ? connection->second : own.readProcRefCon;
            const MidiReadProc readProc = own.readProc;
            void* const readProcRefCon = own.readProcRefCon;
            // The read procedure may wait for room in the delivery ring: no lock stays held.
            m_delivering = &own;
            delivery.unlock();
            readProc(packets.data(), static_cast<unsigned int>(packets.size()), readProcRefCon, srcConnRefCon);
            delivery.lock();
            m_delivering = nullptr;
            ++m_deliveriesFinished;
            m_deliveryDone.notify_all();
            return;
        }
    }
}
