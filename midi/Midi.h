#pragma once

#include "midi/MidiClient.h"
#include "midi/MidiConstants.h"
#include "midi/MidiResult.h"

#include <QString>
#include <QStringList>

// What input and output ports share: the assigned endpoint (index, unique ID, name), the name
// list of the last enumeration, and the time base for time stamps.
class Midi {
public:
    Midi(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
         unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart);
    virtual ~Midi();

    Midi(const Midi&) = delete;
    Midi& operator=(const Midi&) = delete;

    void getCurrentPortName(QString& name) const;
    unsigned int getCurrentPortIndex() const { return m_currentPortIndex; }
    int getCurrentPortUniqueId() const { return m_currentPortUniqueId; }
    unsigned int getPortGroupId() const { return m_portGroupId; }

    // Local time of day in milliseconds (0 to 86399999) of the present moment.
    unsigned int getTimeStamp() const;

protected:
    enum class Direction { Sources, Destinations };

    MidiService& service() const { return m_client->service(); }
    unsigned int endpointCount(Direction direction) const;
    MidiEndpointRef endpoint(Direction direction, unsigned int index) const;

    // Rebuilds the port name list from the endpoints' display names; on a failed read the list
    // is left empty and the result is an error.
    const QStringList& rebuildPortNameList(Direction direction, MIDI_RESULT* result);
    // The first index whose display name is exactly name, after rebuilding the list.
    bool findPortIndex(Direction direction, const QString& name, unsigned int* index);

    // Time stamp of a host time in nanoseconds of the service's clock.
    unsigned int timeStampOfHostTime(std::uint64_t hostTimeNanos) const;

    void assign(unsigned int index, int uniqueId);
    void unassign();

    MidiClient* const m_client;
    const unsigned short m_packetCapacity;
    unsigned int m_currentPortIndex = InvalidPortIndex;
    int m_currentPortUniqueId = InvalidPortId;
    QString m_currentPortName;
    QStringList m_portNameList;
    const unsigned int m_portGroupId;
    const unsigned long long m_hostTimeAtStart;
    const unsigned int m_timeOfDayAtStart;
};
