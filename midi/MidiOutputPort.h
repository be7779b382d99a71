#pragma once

#include "midi/Midi.h"

#include <mutex>

// Sends one whole message at a time to one destination endpoint. Open, close and transmit are
// serialised: messages come from the user-interface thread, the thru path on a delivery thread
// and the transmitter threads.
class MidiOutputPort : public Midi {
public:
    MidiOutputPort(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
                   unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart);
    ~MidiOutputPort() override;

    const QStringList& getOutputPortNameList(MIDI_RESULT* result = nullptr);
    unsigned int getOutputPortCount(MIDI_RESULT* result = nullptr) const;

    // 0 on success, 1 on failure.
    int openOutputPort(unsigned int index);
    int openOutputPort(const QString& name);
    int closeOutputPort();

    // Sends the message as one packet; timeStamp receives the moment of sending. 0 on success, 1
    // when no destination is assigned, the length is 0 or beyond the maximum, or the send failed.
    int transmitMidi(const unsigned char* data, unsigned short length, unsigned int& timeStamp);

private:
    void releaseDestination();
    std::uint64_t pacingClockMilliseconds() const;
    void waitForBluetoothPacing(std::uint64_t startMilliseconds, unsigned short length) const;

    std::mutex m_mutex;
    MidiPortRef m_outputPortRef = InvalidPortRef;
    MidiEndpointRef m_destinationRef = InvalidPortRef;
    bool m_bluetooth = false;
    // The pacing clock runs while a destination whose name could be read is open; it reads the
    // service's monotonic clock, so neither midnight nor a wall-clock change disturbs it.
    bool m_pacingClockRunning = false;
};
