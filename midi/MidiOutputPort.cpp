#include "midi/MidiOutputPort.h"

#include <chrono>
#include <thread>

namespace {
// A MIDI cable carries about three bytes per millisecond.
constexpr double BytesPerMillisecond = 3.0;
constexpr double PacingMarginMilliseconds = 0.03;
constexpr std::uint64_t NanosPerMillisecond = 1000000;
}

MidiOutputPort::MidiOutputPort(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
                               unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart)
    : Midi(client, maxMessageLength, portGroupId, hostTimeAtStart, timeOfDayAtStart)
{
    MidiPortRef port = MidiNullRef;
    if (service().createOutputPort(client->clientRef(), OutputPortName, &port) == 0) {
        m_outputPortRef = port;
    }
}

MidiOutputPort::~MidiOutputPort()
{
    closeOutputPort();
    if (m_outputPortRef != InvalidPortRef) {
        service().disposePort(m_outputPortRef);
    }
}

const QStringList& MidiOutputPort::getOutputPortNameList(MIDI_RESULT* result)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return rebuildPortNameList(Direction::Destinations, result);
}

unsigned int MidiOutputPort::getOutputPortCount(MIDI_RESULT* result) const
{
    setMidiResult(result, MIDI_RESULT_OK);
    return service().getNumberOfDestinations();
}

int MidiOutputPort::openOutputPort(unsigned int index)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index >= service().getNumberOfDestinations()) {
        return 1;
    }
    const MidiEndpointRef destination = service().getDestination(index);
    std::int32_t uniqueId = 0;
    if (destination == MidiNullRef || m_outputPortRef == InvalidPortRef || index >= unsigned(m_portNameList.size())
        || service().getIntegerProperty(destination, MidiIntegerProperty::UniqueId, &uniqueId) != 0) {
        releaseDestination();
        unassign();
        return 1;
    }
    // The new destination replaces the old one, which is released rather than leaked.
    if (destination != m_destinationRef) {
        releaseDestination();
    }
    m_destinationRef = destination;
    // Opening subscribes (again, should the subscription have gone with its device).
    if (service().connectDestination(m_outputPortRef, destination) != 0) {
        releaseDestination();
        unassign();
        return 1;
    }
    QString name;
    if (service().getStringProperty(destination, MidiStringProperty::Name, &name) == 0) {
        m_bluetooth = name == BluetoothPortName;
        m_pacingClockRunning = true;
    } else {
        m_bluetooth = false;
        m_pacingClockRunning = false;
    }
    assign(index, uniqueId);
    return 0;
}

int MidiOutputPort::openOutputPort(const QString& name)
{
    unsigned int index = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!findPortIndex(Direction::Destinations, name, &index)) {
            return 1;
        }
    }
    return openOutputPort(index);
}

int MidiOutputPort::closeOutputPort()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_destinationRef != InvalidPortRef) {
        releaseDestination();
        unassign();
        return 0;
    }
    m_bluetooth = false;
    m_pacingClockRunning = false;
    return 1;
}

int MidiOutputPort::transmitMidi(const unsigned char* data, unsigned short length, unsigned int& timeStamp)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A message that would not fit one packet is refused whole rather than cut.
    if (m_currentPortIndex == InvalidPortIndex || m_destinationRef == InvalidPortRef || length == 0
        || std::size_t(length) + RecordOverheadSize > m_packetCapacity) {
        return 1;
    }
    const MidiPacket packet{0, length, data};
    timeStamp = getTimeStamp();
    const MidiStatus status = service().send(m_outputPortRef, m_destinationRef, packet);
    if (status == 0 && m_bluetooth && m_pacingClockRunning) {
        waitForBluetoothPacing(pacingClockMilliseconds(), length);
    }
    return status == 0 ? 0 : 1;
}

void MidiOutputPort::releaseDestination()
{
    if (m_destinationRef != InvalidPortRef) {
        service().disconnectDestination(m_outputPortRef, m_destinationRef);
        service().disposePort(m_destinationRef);
        m_destinationRef = InvalidPortRef;
    }
}

std::uint64_t MidiOutputPort::pacingClockMilliseconds() const
{
    return service().hostTimeNanos() / NanosPerMillisecond;
}

void MidiOutputPort::waitForBluetoothPacing(std::uint64_t startMilliseconds, unsigned short length) const
{
    // Holds the port (and the caller) for about as long as the message takes on a MIDI cable,
    // so that a Bluetooth destination is not flooded. Sleeps rather than spins: the wait for a
    // large dump runs to seconds.
    const double required = length / BytesPerMillisecond + PacingMarginMilliseconds;
    for (;;) {
        const double elapsed = double(pacingClockMilliseconds() - startMilliseconds);
        if (elapsed >= required) {
            return;
        }
        const auto remaining = std::chrono::duration<double, std::milli>(required - elapsed);
        std::this_thread::sleep_for(std::min<std::chrono::duration<double, std::milli>>(
            remaining, std::chrono::duration<double, std::milli>(1.0)));
    }
}
