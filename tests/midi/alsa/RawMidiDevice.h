#pragma once

#include "midi/contract/ReadingThread.h"

#include <QString>

// One raw-MIDI device file of the guest (/dev/snd/midiC0D0 is the far side of "VirMIDI 0-0"),
// read as a USB interface's cable reads, and written, as bytes that arrive on its MIDI In.
class RawMidiDevice final : public ReadingThread {
public:
    explicit RawMidiDevice(const QString& path);
    ~RawMidiDevice();

    bool isOpen() const { return m_fd >= 0; }
    bool write(const QByteArray& bytes);

private:
    void readSome() override;

    int m_fd = -1;
};
