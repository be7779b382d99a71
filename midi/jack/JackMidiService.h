#pragma once

#include "midi/MidiService.h"
#include "midi/jack/JackByteRing.h"
#include "support/CommonTexts.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <atomic>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <semaphore.h>

// libjack's handles, declared as libjack declares them, so that users of this header need not
// see libjack.
extern "C" {
typedef struct _jack_client jack_client_t;
typedef struct _jack_port jack_port_t;
}

// The MIDI service over a JACK server, one JACK client for the whole program. Sources are other
// clients' MIDI output ports, destinations their MIDI input ports.
//
// Threads: JACK's process thread only moves bytes between the port buffers and lock-free rings
// (one shared ring for everything received, one ring per output port); the service's delivery
// thread takes received records out and calls the read procedures with no lock held (a read
// procedure may wait for room in its port's ring, which only a thru send frees); senders write
// into their port's ring and wait while it is full. When the server goes away every operation fails and the
// lists are empty; the next enumeration tries to reach a server again, never starting one.
class JackMidiService : public MidiService {
public:
    explicit JackMidiService(const QString& clientName = ApplicationName);
    ~JackMidiService() override;

    JackMidiService(const JackMidiService&) = delete;
    JackMidiService& operator=(const JackMidiService&) = delete;

    // Whether a server is reachable right now (tries to reach one when none is).
    bool isOpen();

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
    // Choosing an output connects it at once, so that patchbays show it and the first message
    // does not wait for the connection; closing lets what is queued leave, then disconnects.
    MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination) override;
    MidiStatus disconnectDestination(MidiPortRef port, MidiEndpointRef destination) override;

    MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) override;

    std::uint64_t hostTimeNanos() override;

    // Received events dropped because the delivery thread fell a whole ring behind.
    std::uint64_t receivedOverruns() const { return m_receivedOverruns.load(); }

    // The JACK name of one of the program's own ports ("Tulvar MIDI:InputPort"), empty if unknown.
    QString ownPortName(MidiPortRef port);

private:
    static constexpr std::size_t MaxOwnPorts = 16;

    struct OwnPort {
        // Published to the process thread last, withdrawn first; null while the slot is unused.
        std::atomic<jack_port_t*> jackPort{nullptr};
        bool used = false;
        bool isInput = false;
        QByteArray shortName;
        // Input ports: stamped on every received record; raised when a source is disconnected,
        // so that what the connection had left in the ring is dropped rather than delivered.
        std::atomic<std::uint32_t> generation{0};
        // Guarded by m_deliveryMutex.
        MidiReadProc readProc = nullptr;
        void* readProcRefCon = nullptr;
        void* srcConnRefCon = nullptr;
        // Output ports: the ring the process thread empties, the senders' lock, the destination the
        // port is connected to (guarded by m_mutex), and the process thread's progress through the
        // message at the head of the ring.
        std::unique_ptr<JackByteRing> ring;
        std::mutex sendMutex;
        QByteArray connectedDestination;
        std::uint32_t pendingLength = 0;
        std::uint32_t pendingOffset = 0;
        bool pendingSplittable = false;
    };

    struct Endpoint {
        QByteArray fullName;
        std::uint64_t uuid = 0;  // libjack's jack_uuid_t
    };

    // Frame counts are libjack's jack_nframes_t.
    void process(std::uint32_t frames);
    void receive(OwnPort& own, jack_port_t* jackPort, std::uint32_t slot, std::uint32_t frames,
                 std::uint64_t cycleTime);
    void transmit(OwnPort& own, jack_port_t* jackPort, std::uint32_t frames);

    // Takes m_mutex: an output port, null for anything else.
    OwnPort* findOutputPort(MidiPortRef ref);
    // All of these expect m_mutex held.
    bool ensureClient(bool reconnect);
    bool openClient();
    void closeClient();
    // A free slot named uniquely after name, not yet marked used.
    OwnPort* claimPort(const QString& name, bool isInput);
    bool registerJackPort(OwnPort& own);
    void refreshEndpoints();
    const Endpoint* findEndpoint(MidiEndpointRef ref) const;
    OwnPort* findOwnPort(MidiPortRef ref);
    // Waits until the process thread has finished count more cycles; false when the server went
    // away or stopped running cycles.
    bool waitForCycles(std::uint64_t count);
    bool connectOutput(OwnPort& own, const QByteArray& destination);
    // Lets what the port has queued leave, then disconnects it from its destination.
    void disconnectOutput(OwnPort& own);

    // Until no call of the slot's read procedure that had begun is still running; called with
    // m_mutex released, since that call may wait for a thru send that needs it.
    void waitUntilNotDelivering(std::size_t slot, std::unique_lock<std::mutex>& delivery);
    void deliveryLoop();

    const QByteArray m_clientName;
    std::mutex m_mutex;
    jack_client_t* m_client = nullptr;
    bool m_clientDisposed = false;
    std::atomic<bool> m_serverGone{false};
    std::atomic<std::uint64_t> m_cycles{0};
    std::array<OwnPort, MaxOwnPorts> m_ports;

    std::vector<MidiEndpointRef> m_sources;
    std::vector<MidiEndpointRef> m_destinations;
    std::map<MidiEndpointRef, Endpoint> m_endpoints;
    MidiEndpointRef m_nextEndpointRef = 1;

    // Received records: header (slot, length, host time) and bytes, filled by the process thread.
    JackByteRing m_received;
    std::atomic<std::uint64_t> m_receivedOverruns{0};
    std::mutex m_deliveryMutex;
    // The slot whose read procedure the delivery thread is calling (MaxOwnPorts when none), and
    // the calls finished; guarded by m_deliveryMutex.
    std::condition_variable m_deliveryDone;
    std::size_t m_deliveringSlot = MaxOwnPorts;
    std::uint64_t m_deliveriesFinished = 0;
    // Posted by the process thread: a semaphore post neither locks nor waits.
    sem_t m_wakeDelivery;
    std::atomic<bool> m_stopDelivery{false};
    std::thread m_deliveryThread;
};
