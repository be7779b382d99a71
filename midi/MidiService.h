#pragma once

#include <QString>
#include <cstdint>

// The host MIDI service as the port layer sees it: exactly the operations that MidiClient, Midi,
// MidiInputPort and MidiOutputPort rely on, and nothing else. Each implementation lives in a
// folder of its own under midi/ (loopback/, alsa/, jack/) with the same file set.
//
// Status codes are 0 for success and non-zero for failure, as the host services report them.

using MidiObjectRef = std::uint32_t;
using MidiClientRef = MidiObjectRef;
using MidiPortRef = MidiObjectRef;
using MidiEndpointRef = MidiObjectRef;
using MidiStatus = int;

// A port or endpoint reference not yet obtained, or an endpoint index beyond the current list.
// No service hands it out for a real object.
constexpr MidiObjectRef InvalidPortRef = 0xFFFFFFFF;

// One received or transmitted packet: a whole message (or, on receipt, any slice of the stream)
// with the host time it arrived at in nanoseconds of hostTimeNanos(), 0 meaning "now".
struct MidiPacket {
    std::uint64_t hostTime;
    std::uint16_t length;
    const unsigned char* data;
};

// Called on a thread of the service for every list of packets that arrives at an input port.
// readProcRefCon is the context given when the port was created, srcConnRefCon the one given
// when the source was connected. The packets are valid only during the call. The procedure may
// block until a thru send has freed room in the port's delivery ring, so a service calls it with
// no lock held that send or a port change takes; of the service it calls only
// hostTimeNanos, which must therefore take no lock that the service holds around this call.
// Once disconnectSource or disposePort of the input port has returned (called from any other
// thread), the procedure is not running for that connection and is not called for it again:
// the port layer frees the context right after.
using MidiReadProc = void (*)(const MidiPacket* packets, unsigned int count, void* readProcRefCon,
                              void* srcConnRefCon);

enum class MidiStringProperty { DisplayName, Name };
enum class MidiIntegerProperty { UniqueId };

class MidiService {
public:
    virtual ~MidiService() = default;

    virtual MidiStatus createClient(const QString& name, MidiClientRef* client) = 0;
    virtual MidiStatus disposeClient(MidiClientRef client) = 0;
    virtual MidiStatus createInputPort(MidiClientRef client, const QString& name, MidiReadProc readProc,
                                       void* readProcRefCon, MidiPortRef* port) = 0;
    virtual MidiStatus createOutputPort(MidiClientRef client, const QString& name, MidiPortRef* port) = 0;
    // Releases a port or an endpoint reference; callers ignore the result.
    virtual MidiStatus disposePort(MidiObjectRef object) = 0;

    virtual unsigned int getNumberOfSources() = 0;
    virtual MidiEndpointRef getSource(unsigned int index) = 0;
    virtual unsigned int getNumberOfDestinations() = 0;
    virtual MidiEndpointRef getDestination(unsigned int index) = 0;

    virtual MidiStatus getStringProperty(MidiEndpointRef endpoint, MidiStringProperty property, QString* value) = 0;
    virtual MidiStatus getIntegerProperty(MidiEndpointRef endpoint, MidiIntegerProperty property,
                                          std::int32_t* value) = 0;

    virtual MidiStatus connectSource(MidiPortRef port, MidiEndpointRef source, void* srcConnRefCon) = 0;
    virtual MidiStatus disconnectSource(MidiPortRef port, MidiEndpointRef source) = 0;

    // An output port's destination is opened, and closed or replaced. A service that connects
    // on send needs neither.
    virtual MidiStatus connectDestination(MidiPortRef port, MidiEndpointRef destination)
    {
        (void)port;
        (void)destination;
        return 0;
    }
    virtual MidiStatus disconnectDestination(MidiPortRef port, MidiEndpointRef destination)
    {
        (void)port;
        (void)destination;
        return 0;
    }

    // Sends one packet holding one whole message from an output port to a destination.
    virtual MidiStatus send(MidiPortRef port, MidiEndpointRef destination, const MidiPacket& packet) = 0;

    // The host clock: monotonic, in nanoseconds, on the same time base as
    // std::chrono::steady_clock, so that start times taken elsewhere line up with it.
    virtual std::uint64_t hostTimeNanos() = 0;
};
