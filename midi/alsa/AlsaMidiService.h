#pragma once

#include "midi/MidiService.h"
#include "midi/alsa/AlsaEventCodec.h"
#include "midi/alsa/AlsaPacingBudget.h"

#include <QString>

#include <array>
#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
typedef struct _snd_seq snd_seq_t;
}

// The MIDI service over the ALSA sequencer: the program is one sequencer client with its own
// ports. Sources are other clients' ports that can be read and subscribed to, destinations those
// that can be written and subscribed to; the program's own client and the system client are
// never listed. An endpoint's unique ID is client × 256 + port.
//
// An output port is subscribed to the destination it opened and sends to its subscribers, so
// connections made outside the program receive the same. The sequencer has no end-to-end flow
// control: a kernel port (a raw-MIDI device behind it) is paced at the cable rate so that its
// buffer never overflows, and a program's port that is full is waited for.
//
// Threads and locks: m_mutex guards the port table and the endpoint lists; each output port's
// send mutex keeps its messages whole and in order (taken before m_mutex); m_outputMutex is held
// only around one event written to the sequencer. The reader thread decodes events and calls
// the read procedure with no lock held, so a full delivery ring never blocks a send or a port
// change; disconnecting or disposing an input port waits until a call in progress has returned.
class AlsaMidiService : public MidiService {
public:
    explicit AlsaMidiService(const QString& clientName = QStringLiteral("Tulvar MIDI"));
    ~AlsaMidiService() override;

    AlsaMidiService(const AlsaMidiService&) = delete;
    AlsaMidiService& operator=(const AlsaMidiService&) = delete;

    // Whether the sequencer could be opened.
    bool isOpen() const { return m_seq != nullptr; }
    int clientId() const { return m_clientId; }
    // The sequencer port number of one of the program's own ports, -1 if unknown.
    int ownPortNumber(MidiPortRef port);
    // Free cells in the input pool of the client that destination belongs to (very many when the
    // kernel does not say). An event that does not fit is refused, and the refusal makes that
    // client's next read throw away all that is queued for it.
    int freeInputCells(MidiEndpointRef destination) const;

    MidiStatus createClient(const QString& name, MidiClientRef* client) override;
    MidiStatus disposeClient(MidiClientRef client) override;
    MidiStatus createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                               void* readProcRefCon, MidiPortRef* port) override;
    MidiStatus createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port) override;
    MidiStatus disposePort(MidiObjectRef object) override;

    unsigned int getNumberOfSources() override;
    MidiEndpointRef getSource(unsigned int index) override;
    unsigned int getNumberOfDestinations() override;
    MidiEndpointRef getDestination(unsigned int index) override;

    MidiStatus getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value) override;
    MidiStatus getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property,
                                  std::int32_t* value) override;

    MidiStatus connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon) override;
    MidiStatus disconnectSource(MidiPortRef port, MidiEndpointRef source) override;
    MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination) override;
    MidiStatus disconnectDestination(MidiPortRef port, MidiEndpointRef destination) override;

    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;

    std::uint64_t hostTimeNanos() override;

    // How an endpoint is shown in the port menus: the port's name, prefixed with its client's
    // name unless the port's name already begins with it.
    static QString displayName(const QString& clientName, const QString& portName);

private:
    static constexpr std::size_t MaxOwnPorts = 16;

    struct OwnPort {
        bool used = false;
        bool isInput = false;
        int number = -1;
        // Input ports, guarded by m_deliveryMutex.
        MidiReadProc readProc = nullptr;
        void* readProcRefCon = nullptr;
        // The context of each source connected through connectSource, by the source's unique ID.
        std::map<MidiEndpointRef, void*> connections;
        // Output ports: the rest is guarded by sendMutex (and destination by m_mutex too).
        std::mutex sendMutex;
        std::unique_ptr<AlsaEventCodec> codec;
        MidiEndpointRef destination = InvalidPortRef;
        bool destinationIsKernelPort = false;
        AlsaPacingBudget budget;
    };

    MidiStatus createPort(MidiClientRef client, const QString& name, bool isInput, MidiPortRef* port,
                          OwnPort** created);
    bool subscribe(OwnPort& own, MidiEndpointRef destination);
    QString uniquePortName(const QString& name, bool isInput) const;
    void refreshEndpoints();
    bool isEndpoint(MidiEndpointRef endpoint) const;
    bool portExists(MidiEndpointRef endpoint);
    bool isSubscribed(int senderClient, int senderPort, int destClient, int destPort);
    OwnPort* findOwnPort(MidiPortRef ref);
    OwnPort* lockOutputPort(MidiPortRef port, std::unique_lock<std::mutex>& sending);
    void releaseDestination(OwnPort& own);
    bool output(OwnPort& own, snd_seq_event_t& event, std::size_t midiBytes);
    void pace(OwnPort& own, std::size_t midiBytes);
    void waitUntilNotDelivering(const OwnPort& own, std::unique_lock<std::mutex>& delivery);
    void readLoop();
    void deliver(const snd_seq_event_t& event, std::uint64_t hostTime, AlsaEventCodec& codec,
                 std::vector<unsigned char>& bytes);

    snd_seq_t* m_seq = nullptr;
    int m_clientId = -1;
    // The sequencer device under the handle, for what alsa-lib does not ask it.
    int m_deviceFd = -1;
    std::mutex m_mutex;
    std::array<OwnPort, MaxOwnPorts> m_ports;
    std::vector<MidiEndpointRef> m_sources;
    std::vector<MidiEndpointRef> m_destinations;

    // Writing an event uses a scratch buffer of the sequencer handle.
    std::mutex m_outputMutex;
    std::mutex m_deliveryMutex;
    std::condition_variable m_deliveryDone;
    const OwnPort* m_delivering = nullptr;
    std::uint64_t m_deliveriesFinished = 0;
    int m_stopFd = -1;
    std::thread m_reader;
};
