#pragma once

#include "midi/Midi.h"
#include "midi/MidiDataTransmissionThread.h"

// Listens to one source endpoint and hands every received packet, time-stamped, to its delivery
// thread. Opened and closed on the user-interface thread only.
class MidiInputPort : public Midi {
public:
    MidiInputPort(MidiClient* client, unsigned short maxMessageLength, unsigned int portGroupId,
                  unsigned long long hostTimeAtStart, unsigned int timeOfDayAtStart);
    ~MidiInputPort() override;

    const QStringList& getInputPortNameList(MIDI_RESULT* result = nullptr);
    unsigned int getInputPortCount(MIDI_RESULT* result = nullptr) const;

    // 0 on success, 1 on failure. A failed open leaves the port unassigned and unconnected.
    int openInputPort(unsigned int index);
    int openInputPort(const QString& name);
    // 0 on success; 1 when nothing was open, the endpoint is gone, or disconnecting failed.
    int closeInputPort();

    void setReceivedMidiCallbackFunc(ReceivedMidiCallbackFunc callback, void* context);

private:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon);

    MidiDataTransmissionThread* m_thread;
    MidiPortRef m_inputPortRef = InvalidPortRef;
};
