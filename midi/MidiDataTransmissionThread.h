#pragma once

#include "midi/CRingBuffer.h"

#include <QThread>

#include <condition_variable>
#include <mutex>
#include <vector>

// The receive callback: one received packet with the local time of day (ms) it arrived at and
// the port ID given to the thread. data is valid only during the call.
using ReceivedMidiCallbackFunc = void (*)(void* context, const unsigned char* data, unsigned short length,
                                          unsigned int timeStamp, unsigned int portId);

// Decouples the MIDI service's thread from the application: writeData copies a packet into the
// ring and returns, the thread takes records out in order and calls the receive callback with no
// lock held. Standard-library locks throughout so that ThreadSanitizer sees every hand-over.
class MidiDataTransmissionThread : public QThread {
    Q_OBJECT

public:
    MidiDataTransmissionThread(QObject* parent, unsigned short capacity, unsigned int portId);
    ~MidiDataTransmissionThread() override;

    void setReceivedMidiCallbackFunc(ReceivedMidiCallbackFunc callback, void* context);
    // Ends the thread after the callback in progress and lets go of writers held for room; what
    // the ring holds and whatever is written afterwards is dropped.
    void stop();

    // Appends one record and wakes the thread. Holds the caller while the ring is full; drops the
    // packet when it can never fit, when no callback is set, or when the thread is stopping.
    void writeData(const unsigned char* data, unsigned short length, unsigned int timeStamp);

    bool isAvailable(unsigned short size);
    bool isEmptyBuffer();

protected:
    void run() override;

private:
    std::size_t freeSpace() const;
    bool isEmpty() const;
    void readField(unsigned char* destination, std::size_t count);

    std::mutex m_bufferMutex;
    std::condition_variable m_wakeCondition;   // a record was written, or stop
    std::condition_variable m_spaceCondition;  // a record was taken out, a writer left, or stop
    bool m_stopFlag = false;
    bool m_finished = false;
    int m_waitingWriters = 0;
    ReceivedMidiCallbackFunc m_callback = nullptr;
    void* m_callbackContext = nullptr;
    CRingBuffer<unsigned char>* m_ring;
    const unsigned short m_capacity;
    // 1 while the write index has wrapped past the end of the ring and the read index has not.
    unsigned char m_lapFlag = 0;
    const unsigned int m_portId;
};
