#pragma once

#include "midi/MidiService.h"
#include "midi/alsa/AlsaEventCodec.h"

#include <QString>

#include <alsa/asoundlib.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// The MIDI service over the ALSA sequencer: the program is one sequencer client with its own
// ports. Sources are other clients' ports that can be read and subscribed to, destinations those
// that can be written and subscribed to; the program's own client and the system client are
// never listed. An endpoint's unique ID is client × 256 + port.
//
// Threads: senders output events directly to the destination in blocking mode, one sender at a
// time; the service's reader thread waits for events, decodes them and calls the read
// procedure of the port they arrived at.
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
        // Guarded by m_deliveryMutex.
        MidiReadProc readProc = nullptr;
        void* readProcRefCon = nullptr;
        // The context of each source connected through connectSource, by the source's unique ID.
        std::map<MidiEndpointRef, void*> connections;
        // Output ports: the encoder keeps running status per port.
        std::unique_ptr<AlsaEventCodec> codec;
    };

    MidiStatus createPort(MidiClientRef client, const QString& name, bool isInput, MidiPortRef* port,
                          OwnPort** created);
    void refreshEndpoints();
    bool portExists(MidiEndpointRef endpoint, snd_seq_port_info_t* info);
    OwnPort* findOwnPort(MidiPortRef ref);
    void readLoop();
    void deliver(const snd_seq_event_t& event, AlsaEventCodec& codec, std::vector<unsigned char>& bytes);

    snd_seq_t* m_seq = nullptr;
    int m_clientId = -1;
    std::mutex m_mutex;
    std::array<OwnPort, MaxOwnPorts> m_ports;
    std::vector<MidiEndpointRef> m_sources;
    std::vector<MidiEndpointRef> m_destinations;

    // One sender at a time: output shares a scratch buffer of the handle and each port's encoder.
    std::mutex m_sendMutex;
    std::mutex m_deliveryMutex;
    int m_stopFd = -1;
    std::thread m_reader;
};
