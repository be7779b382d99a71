#pragma once

#include "engine/MidiAnalyzer.h"
#include "model/TulvarMidiModel.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <mutex>

// Received messages as the In monitor shows them: the program's analyzer formats every line.
// A second analyzer with time and detail off gives each line's bytes alone, for the .syx file,
// the JSON objects and telling exclusives apart.
class CliMonitor {
public:
    struct Line {
        QByteArray shown; // the In monitor's line
        QByteArray bytes; // the message as hexadecimal pairs
        bool systemExclusive;
    };

    CliMonitor(bool showTime, bool showDetail);

    CliMonitor(CliMonitor const&) = delete;
    CliMonitor& operator=(CliMonitor const&) = delete;

    // The receive callback of the input port, with the monitor as context.
    static void received(void* context, const unsigned char* data, unsigned short length, unsigned int timeStamp,
                         unsigned int portId);

    // Takes out the lines formatted since the last call, oldest first.
    QList<Line> takeLines();

    // The bytes of a line's hexadecimal pairs.
    static QByteArray bytesOf(Line const& line);

private:
    std::mutex m_lock; // keeps the two analyzers' lines in step
    TulvarMidiModel m_shownModel;
    TulvarMidiModel m_bytesModel;
    MidiAnalyzer m_shown;
    MidiAnalyzer m_bytes;
};
