#pragma once

#include "engine/MessageTables.h"
#include "engine/MidiTransmitterIF.h"
#include "engine/MonitorLineFormat.h"
#include "model/ModelAssistant.h"
#include "small/MidiLibrary/midilib_filter.h"
#include "small/MidiLibrary/midilib_parser.h"
#include "small/MidiLibrary/midilib_tempoMeasure.h"

#include <QByteArray>

#include <cstdint>
#include <mutex>

class ModelIF;

// The receive side of the program. Every chunk that arrives on either input is parsed (one
// parser per input, so running status and split messages stay apart), its timing clock measured,
// filtered, passed through to the output of the same number when thru is on, and formatted into
// the In-monitor text; every transmitted message is formatted into the Out-monitor text. The
// main window's timer takes the texts out ten times a second. No widget is ever touched here.
//
// Threads: the delivery threads call receivedMidi (and, through thru, setTransmittedMidiData);
// the GUI thread changes parameters and takes the texts; transmitter threads record what they
// sent. One recursive lock guards everything and is held for a whole chunk, thru sends included,
// because the transmit path records the thru message on the same thread.
class MidiAnalyzer : public ModelAssistant {
public:
    MidiAnalyzer(ModelIF* model, MidiTransmitterIF* transmitter);
    ~MidiAnalyzer();

    MidiAnalyzer(MidiAnalyzer const&) = delete;
    MidiAnalyzer& operator=(MidiAnalyzer const&) = delete;

    // The receive callback of both input ports, with the analyzer as context.
    static void callbackReceivedMidi(void* context, const unsigned char* data, unsigned short size,
                                     unsigned int timeStamp, unsigned int portGroup);
    // timeStamp: milliseconds since local midnight; portGroup: InputPortGroup.
    void receivedMidi(const unsigned char* data, unsigned short size, std::uint32_t timeStamp, unsigned int portGroup);

    // Passes a received message to the output of its group when that thru switch is on; false
    // when thru is off or nothing was sent.
    bool thruMIDI(const unsigned char* data, unsigned short size, unsigned char eventType, OutputPortGroup group);
    void appendMessageToBuffer(const unsigned char* data, std::size_t size, unsigned char eventType,
                               std::uint32_t timeStamp, unsigned int portGroup);
    // Called by the transmit path once for every output port that sent the message.
    void setTransmittedMidiData(const unsigned char* data, unsigned short size, std::uint32_t timeStamp,
                                unsigned char eventType, OutputPortGroup group);

    // Hands out and empties all three texts with their byte counts; true when any count was
    // non-zero.
    bool getMidiData(QByteArray& receivedText, std::uint32_t& receivedCount, QByteArray& systemExclusiveText,
                     std::uint32_t& systemExclusiveCount, QByteArray& transmittedText, std::uint32_t& transmittedCount);
    void clearTransmittedDataBuffer();

    // Tempo of received timing clock in tenths of a beat per minute, 0 while unknown.
    unsigned int getReceivedTimingClock();
    // Advances the tempo measurement's silence timer.
    void updateTempo(std::uint64_t elapsedMicroseconds);

    void updateParameter(unsigned int id) override;
    void initializeParser();

    static MIDILIB_Event_Type convertMIDILIBEventTypeFromMIDIFilter(unsigned int filter);
    static MIDILIB_Event_Type convertMIDILIBEventTypeFromFilterSystemCommon(unsigned int filter);
    static MIDILIB_Event_Type convertMIDILIBEventTypeFromFilterSystemRealtime(unsigned int filter);

private:
    static constexpr int InputPortGroupCount = 2;

    void receiveParsed(const unsigned char* data, unsigned short size, std::uint32_t timeStamp, unsigned int portGroup);
    void updateFilter(unsigned int id, bool on);

    ModelIF* m_model;
    MidiTransmitterIF* m_transmitter;

    std::recursive_mutex m_lock;
    MIDILIB_Parser m_parsers[InputPortGroupCount];
    MIDILIB_Filter m_filter;
    MIDILIB_TempoMeasure m_tempoMeasure;
    // The event and the bytes rebuilt from it are 16 KiB each: members rather than stack frames
    // of the delivery thread, used only under the lock.
    MIDILIB_Event m_event;
    MIDILIB_Data m_eventData;

    QByteArray m_receivedText;
    std::uint32_t m_receivedCount = 0;
    QByteArray m_systemExclusiveText;
    std::uint32_t m_systemExclusiveCount = 0;
    QByteArray m_transmittedText;
    std::uint32_t m_transmittedCount = 0;

    bool m_thruFirst = false;
    bool m_thruSecond = false;
    bool m_parserEnabled = true;
    MonitorLineFormat m_lineFormat;
};
