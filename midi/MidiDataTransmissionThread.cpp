#include "midi/MidiDataTransmissionThread.h"

#include "midi/MidiConstants.h"

#include <cassert>
#include <chrono>

namespace {
// How often a writer facing a full ring looks again, at the latest.
constexpr std::chrono::milliseconds FullRingPollInterval(50);
}

MidiDataTransmissionThread::MidiDataTransmissionThread(QObject* parent, unsigned short capacity, unsigned int portId)
    : QThread(parent), m_ring(new CRingBuffer<unsigned char>(capacity)), m_capacity(capacity), m_portId(portId)
{
    start(QThread::InheritPriority);
}

MidiDataTransmissionThread::~MidiDataTransmissionThread()
{
    stop();
    {
        // Writers that were holding for room touch the conditions until they have left.
        std::unique_lock<std::mutex> lock(m_bufferMutex);
        m_spaceCondition.wait(lock, [this] { return m_waitingWriters == 0; });
    }
    delete m_ring;
}

void MidiDataTransmissionThread::stop()
{
    {
        std::unique_lock<std::mutex> lock(m_bufferMutex);
        m_callback = nullptr;
        m_callbackContext = nullptr;
        m_stopFlag = true;
        m_wakeCondition.notify_all();
        m_spaceCondition.notify_all();
        // The thread may never have run if it could not be started.
        m_spaceCondition.wait(lock, [this] { return m_finished || !isRunning(); });
    }
    wait();
}

void MidiDataTransmissionThread::setReceivedMidiCallbackFunc(ReceivedMidiCallbackFunc callback, void* context)
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    m_callback = callback;
    m_callbackContext = context;
    m_wakeCondition.notify_all();
}

void MidiDataTransmissionThread::writeData(const unsigned char* data, unsigned short length, unsigned int timeStamp)
{
    const std::size_t recordSize = std::size_t(length) + RecordOverheadSize;
    if (recordSize > m_capacity) {
        return;
    }
    std::unique_lock<std::mutex> lock(m_bufferMutex);
    ++m_waitingWriters;
    while (!m_stopFlag && m_callback != nullptr && freeSpace() < recordSize) {
        m_spaceCondition.wait_for(lock, FullRingPollInterval);
    }
    --m_waitingWriters;
    if (!m_stopFlag && m_callback != nullptr) {
        m_lapFlag += m_ring->write(reinterpret_cast<const unsigned char*>(&length), RecordLengthSize);
        m_lapFlag += m_ring->write(data, length);
        m_lapFlag += m_ring->write(reinterpret_cast<const unsigned char*>(&timeStamp), TimeStampDataSize);
        assert(m_lapFlag <= 1);
        m_wakeCondition.notify_all();
    }
    // Under the lock: once the count is 0 the destructor may free the conditions.
    m_spaceCondition.notify_all();
}

bool MidiDataTransmissionThread::isAvailable(unsigned short size)
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    return freeSpace() >= size;
}

bool MidiDataTransmissionThread::isEmptyBuffer()
{
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    return isEmpty();
}

void MidiDataTransmissionThread::run()
{
    // One buffer for the whole life of the thread: no allocation per record.
    std::vector<unsigned char> record(m_capacity);
    std::unique_lock<std::mutex> lock(m_bufferMutex);
    for (;;) {
        // The emptiness test and the wait share the buffer mutex with the writer, so a wake-up
        // cannot slip in between them.
        m_wakeCondition.wait(lock, [this] { return m_stopFlag || (m_callback != nullptr && !isEmpty()); });
        if (m_stopFlag) {
            break;
        }
        unsigned short length = 0;
        unsigned int timeStamp = 0;
        readField(reinterpret_cast<unsigned char*>(&length), RecordLengthSize);
        readField(record.data(), length);
        readField(reinterpret_cast<unsigned char*>(&timeStamp), TimeStampDataSize);
        const ReceivedMidiCallbackFunc callback = m_callback;
        void* const context = m_callbackContext;
        m_spaceCondition.notify_all();
        lock.unlock();
        callback(context, record.data(), length, timeStamp, m_portId);
        lock.lock();
    }
    m_finished = true;
    m_spaceCondition.notify_all();
}

std::size_t MidiDataTransmissionThread::freeSpace() const
{
    assert(m_lapFlag <= 1);
    return m_lapFlag == 0 ? m_capacity - m_ring->writeIndex() + m_ring->readIndex()
                          : m_ring->readIndex() - m_ring->writeIndex();
}

bool MidiDataTransmissionThread::isEmpty() const
{
    return m_lapFlag == 0 && m_ring->writeIndex() == m_ring->readIndex();
}

void MidiDataTransmissionThread::readField(unsigned char* destination, std::size_t count)
{
    if (m_ring->read(destination, count)) {
        assert(m_lapFlag == 1);
        --m_lapFlag;
    }
}
