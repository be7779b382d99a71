#include "midi/MidiInputPort.h"

#include <algorithm>

MidiInputPort::MidiInputPort(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
                             unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart)
    : Midi(client, maxMessageLength, portGroupId, hostTimeAtStart, timeOfDayAtStart),
      m_thread(new MidiDataTransmissionThread(nullptr, m_packetCapacity, portGroupId))
{
    MidiPortRef port = InvalidPortRef;
    if (service().createInputPort(client->clientRef(), InputPortName, &MidiInputPort::readProc, this, &port) == 0) {
        m_inputPortRef = port;
    }
}

MidiInputPort::~MidiInputPort()
{
    // The delivery thread ends first: its callback may be in a thru send that needs the service,
    // and a service reader held for room in the ring is let go rather than waited for.
    m_thread->stop();
    closeInputPort();
    if (m_inputPortRef != InvalidPortRef) {
        // Once this returns the read procedure no longer runs, so the thread object can go.
        service().disposePort(m_inputPortRef);
    }
    delete m_thread;
}

const QStringList& MidiInputPort::getInputPortNameList(MIDI_RESULT* result)
{
    return rebuildPortNameList(Direction::Sources, result);
}

unsigned int MidiInputPort::getInputPortCount(MIDI_RESULT* result) const
{
    setMidiResult(result, MIDI_RESULT_OK);
    return service().getNumberOfSources();
}

int MidiInputPort::openInputPort(unsigned int index)
{
    if (m_currentPortIndex != InvalidPortIndex) {
        closeInputPort();
    }
    const MidiEndpointRef source = index < service().getNumberOfSources() ? service().getSource(index) : InvalidPortRef;
    std::int32_t uniqueId = 0;
    // Everything that can fail is checked before connecting, so a failed open never leaves a
    // connection behind that nobody could close.
    if (source == InvalidPortRef || m_inputPortRef == InvalidPortRef || index >= unsigned(m_portNameList.size())
        || service().getIntegerProperty(source, MidiIntegerProperty::UniqueId, &uniqueId) != 0
        || service().connectSource(m_inputPortRef, source, this) != 0) {
        unassign();
        return 1;
    }
    assign(index, uniqueId);
    return 0;
}

int MidiInputPort::openInputPort(const QString& name)
{
    unsigned int index = 0;
    if (!findPortIndex(Direction::Sources, name, &index)) {
        return 1;
    }
    return openInputPort(index);
}

int MidiInputPort::closeInputPort()
{
    if (m_currentPortIndex == InvalidPortIndex) {
        return 1;
    }
    // Found by unique ID, not by index: the endpoint list may have changed since opening. A
    // source whose ID cannot be read is skipped, not taken as the end of the list, so that our
    // connection is still found behind it.
    const unsigned int count = service().getNumberOfSources();
    for (unsigned int i = 0; i < count; ++i) {
        const MidiEndpointRef source = service().getSource(i);
        std::int32_t uniqueId = 0;
        if (source == InvalidPortRef || service().getIntegerProperty(source, MidiIntegerProperty::UniqueId, &uniqueId) != 0
            || uniqueId != m_currentPortUniqueId) {
            continue;
        }
        const MidiStatus status = service().disconnectSource(m_inputPortRef, source);
        unassign();
        return status == 0 ? 0 : 1;
    }
    unassign();
    return 1;
}

void MidiInputPort::setReceivedMidiCallbackFunc(ReceivedMidiCallbackFunc callback, void* context)
{
    if (m_thread != nullptr) {
        m_thread->setReceivedMidiCallbackFunc(callback, context);
    }
}

void MidiInputPort::readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void*)
{
    // Runs on the service's thread: touches only fixed fields and the thread's locked ring.
    // A packet longer than a ring record (a service may hand over a long dump in one piece) goes
    // in as consecutive slices with one time stamp; the parser joins byte streams anyway, and a
    // dump is not silently dropped.
    auto* port = static_cast<MidiInputPort*>(readProcRefCon);
    const unsigned short maxSlice = static_cast<unsigned short>(port->m_packetCapacity - RecordOverheadSize);
    for (unsigned int i = 0; i < count; ++i) {
        const MidiPacket& packet = packets[i];
        const unsigned int timeStamp =
            packet.hostTime != 0 ? port->timeStampOfHostTime(packet.hostTime) : port->getTimeStamp();
        unsigned short offset = 0;
        do {
            const auto slice = static_cast<unsigned short>(std::min<unsigned>(packet.length - offset, maxSlice));
            port->m_thread->writeData(packet.data + offset, slice, timeStamp);
            offset = static_cast<unsigned short>(offset + slice);
        } while (offset < packet.length);
    }
}
