#include "midi/Midi.h"

#include "midi/MidiConstants.h"
#include "support/TimeFunctions.h"

#include <cassert>

namespace {
constexpr std::uint64_t NanosPerMillisecond = 1000000;
}

Midi::Midi(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
           unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart)
    : m_client(client),
      m_packetCapacity(static_cast<unsigned short>(maxMessageLength + RecordOverheadSize)),
      m_currentPortName(NoAssignPortName),
      m_portGroupId(portGroupId),
      m_hostTimeAtStart(hostTimeAtStart),
      m_timeOfDayAtStart(timeOfDayAtStart % MsecsPerDay)
{
    assert(client != nullptr);
    assert(maxMessageLength > 0 && maxMessageLength <= 0xFFFF - RecordOverheadSize);
}

Midi::~Midi() = default;

void Midi::getCurrentPortName(QString& name) const
{
    name = m_currentPortIndex != InvalidPortIndex ? m_currentPortName : NoAssignPortName;
}

unsigned int Midi::getTimeStamp() const
{
    return timeStampOfHostTime(service().hostTimeNanos());
}

unsigned int Midi::timeStampOfHostTime(std::uint64_t hostTimeNanos) const
{
    const std::uint64_t now = hostTimeNanos / NanosPerMillisecond;
    // A moment before the start (a packet stamped early) counts backwards from the start time
    // of day rather than wrapping through 2^64.
    if (now >= m_hostTimeAtStart) {
        const std::uint64_t elapsed = (now - m_hostTimeAtStart) % MsecsPerDay;
        return static_cast<unsigned int>((m_timeOfDayAtStart + elapsed) % MsecsPerDay);
    }
    const std::uint64_t before = (m_hostTimeAtStart - now) % MsecsPerDay;
    return static_cast<unsigned int>((m_timeOfDayAtStart + MsecsPerDay - before) % MsecsPerDay);
}

unsigned int Midi::endpointCount(Direction direction) const
{
    return direction == Direction::Sources ? service().getNumberOfSources() : service().getNumberOfDestinations();
}

MidiEndpointRef Midi::endpoint(Direction direction, unsigned int index) const
{
    return direction == Direction::Sources ? service().getSource(index) : service().getDestination(index);
}

const QStringList& Midi::rebuildPortNameList(Direction direction, MIDI_RESULT* result)
{
    m_portNameList.clear();
    const unsigned int count = endpointCount(direction);
    for (unsigned int i = 0; i < count; ++i) {
        const MidiEndpointRef ref = endpoint(direction, i);
        QString name;
        std::int32_t uniqueId = 0;
        if (ref == InvalidPortRef || service().getStringProperty(ref, MidiStringProperty::DisplayName, &name) != 0
            || service().getIntegerProperty(ref, MidiIntegerProperty::UniqueId, &uniqueId) != 0) {
            m_portNameList.clear();
            setMidiResult(result, MIDI_RESULT_ERROR);
            return m_portNameList;
        }
        m_portNameList.append(name);
    }
    setMidiResult(result, MIDI_RESULT_OK);
    return m_portNameList;
}

bool Midi::findPortIndex(Direction direction, const QString& name, unsigned int* index)
{
    const int found = rebuildPortNameList(direction, nullptr).indexOf(name);
    if (found < 0) {
        return false;
    }
    *index = static_cast<unsigned int>(found);
    return true;
}

void Midi::assign(unsigned int index, int uniqueId)
{
    m_currentPortName = m_portNameList.at(static_cast<int>(index));
    m_currentPortIndex = index;
    m_currentPortUniqueId = uniqueId;
}

void Midi::unassign()
{
    m_currentPortIndex = InvalidPortIndex;
    m_currentPortUniqueId = InvalidPortId;
    m_currentPortName = NoAssignPortName;
}
