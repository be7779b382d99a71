#pragma once

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// One raw-MIDI device file of the guest (/dev/snd/midiC0D0 is the far side of "VirMIDI 0-0"),
// opened for reading by a thread of its own, as a USB interface's cable reads, and for writing,
// as bytes that arrive on its MIDI In.
class RawMidiDevice {
public:
    explicit RawMidiDevice(const QString& path);
    ~RawMidiDevice();

    RawMidiDevice(const RawMidiDevice&) = delete;
    RawMidiDevice& operator=(const RawMidiDevice&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray& bytes);
    // Waits until count bytes have been read (false after a generous limit).
    bool waitForBytes(int count);
    QByteArray received();

private:
    void readLoop();

    int m_fd = -1;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
};
