#include "engine/MidiAnalyzer.h"

#include "engine/MidiParserDelivery.h"
#include "model/ModelIF.h"
#include "model/TulvarMidiParameters.h"
#include "small/MidiLibrary/midilib_data.h"

namespace {

using Lock = std::lock_guard<std::recursive_mutex>;

const unsigned int FilterLastChannelId = ChannelFilterParameterId + ChannelFilterCount - 1;
const unsigned int FilterLastMessageTypeId = MessageTypeFilterParameterId + MessageTypeFilterCount - 1;
const unsigned int FilterLastControllerId = ControlChangeFilterParameterId + ControlChangeFilterCount - 1;
const unsigned int FilterLastSystemCommonId = SystemCommonFilterParameterId + SystemCommonFilterCount - 1;
const unsigned int FilterLastSystemRealtimeId = SystemRealtimeFilterParameterId + SystemRealtimeFilterCount - 1;

bool isWithin(unsigned int id, unsigned int first, unsigned int last)
{
    return id >= first && id <= last;
}

} // namespace

MidiAnalyzer::MidiAnalyzer(ModelIF* model, MidiTransmitterIF* transmitter)
    : m_model(model), m_transmitter(transmitter)
{
    for (MIDILIB_Parser& parser : m_parsers) {
        midilib_parser_init(&parser);
    }
    midilib_filter_init(&m_filter);
    midilib_tempoMeasure_init(&m_tempoMeasure);
    // The filter switches are not read here: the settings file is restored after the analyzer
    // exists, and every restored switch arrives through updateParameter.
    for (unsigned int id : {MidiThruParameterId, MidiThruSecondParameterId, TimeStampParameterId,
                            MessageDetailParameterId, MessageParsedParameterId, MessageMiddleCParameterId,
                            MessageTimeFormatParameterId}) {
        updateParameter(id);
    }
    m_model->registerModelAssistant(this);
}

MidiAnalyzer::~MidiAnalyzer()
{
    m_model->unregisterModelAssistant(this);
}

void MidiAnalyzer::callbackReceivedMidi(void* context, const unsigned char* data, unsigned short size,
                                        unsigned int timeStamp, unsigned int portGroup)
{
    static_cast<MidiAnalyzer*>(context)->receivedMidi(data, size, timeStamp, portGroup);
}

void MidiAnalyzer::receivedMidi(const unsigned char* data, unsigned short size, std::uint32_t timeStamp,
                                unsigned int portGroup)
{
    if (portGroup >= InputPortGroupCount || size == 0) {
        return;
    }
    Lock lock(m_lock);
    if (m_parserEnabled) {
        receiveParsed(data, size, timeStamp, portGroup);
    } else {
        // Unparsed, active sensing cannot be told apart and goes through with the rest.
        thruMIDI(data, size, UnparsedEventType, OutputPortGroup(portGroup));
        appendMessageToBuffer(data, size, UnparsedEventType, timeStamp, portGroup);
    }
}

void MidiAnalyzer::receiveParsed(const unsigned char* data, unsigned short size, std::uint32_t timeStamp,
                                 unsigned int portGroup)
{
    parseDelivery(&m_parsers[portGroup], &m_event, data, size, [&](const MIDILIB_Event& event) {
        if (event.type == MIDILIB_Event_Type_TimingClock) {
            // Measured before filtering, so that a filtered clock still shows its tempo.
            midilib_tempoMeasure_setClockTiming(&m_tempoMeasure, std::uint64_t(timeStamp) * 1000u);
        }
        if (midilib_filter_apply(&m_filter, &event) != 0) {
            return true;
        }
        midilib_eventToData(&event, &m_eventData);
        const unsigned char* bytes = midilib_data_getMemory(&m_eventData);
        const auto length = static_cast<unsigned short>(midilib_data_getSize(&m_eventData));
        if (event.type != MIDILIB_Event_Type_ActiveSensing) {
            thruMIDI(bytes, length, event.type, OutputPortGroup(portGroup));
        }
        appendMessageToBuffer(bytes, length, event.type, timeStamp, portGroup);
        return true;
    });
}

bool MidiAnalyzer::thruMIDI(const unsigned char* data, unsigned short size, unsigned char eventType,
                            OutputPortGroup group)
{
    Lock lock(m_lock);
    const bool thru = (group == OutputPortGroupFirst && m_thruFirst) || (group == OutputPortGroupSecond && m_thruSecond);
    if (!thru || m_transmitter == nullptr) {
        return false;
    }
    return m_transmitter->transmitMidi(data, size, eventType, group, true);
}

void MidiAnalyzer::appendMessageToBuffer(const unsigned char* data, std::size_t size, unsigned char eventType,
                                         std::uint32_t timeStamp, unsigned int portGroup)
{
    Lock lock(m_lock);
    if (eventType == MIDILIB_Event_Type_SystemExclusive && size > 0) {
        MonitorLineFormat::convertDisplayFormatFromMidiData(m_systemExclusiveText, data, size, true);
        m_systemExclusiveCount += std::uint32_t(size);
    }
    m_lineFormat.appendMonitorLine(m_receivedText, data, size, eventType, timeStamp, portGroup);
    m_receivedCount += std::uint32_t(size);
}

void MidiAnalyzer::setTransmittedMidiData(const unsigned char* data, unsigned short size, std::uint32_t timeStamp,
                                          unsigned char eventType, OutputPortGroup group)
{
    if (size == 0) {
        return;
    }
    Lock lock(m_lock);
    const unsigned char type = m_parserEnabled ? eventType : UnparsedEventType;
    m_lineFormat.appendMonitorLine(m_transmittedText, data, size, type, timeStamp, group);
    m_transmittedCount += size;
}

bool MidiAnalyzer::getMidiData(QByteArray& receivedText, std::uint32_t& receivedCount,
                               QByteArray& systemExclusiveText, std::uint32_t& systemExclusiveCount,
                               QByteArray& transmittedText, std::uint32_t& transmittedCount)
{
    Lock lock(m_lock);
    receivedText.clear();
    systemExclusiveText.clear();
    transmittedText.clear();
    receivedText.swap(m_receivedText);
    systemExclusiveText.swap(m_systemExclusiveText);
    transmittedText.swap(m_transmittedText);
    receivedCount = m_receivedCount;
    systemExclusiveCount = m_systemExclusiveCount;
    transmittedCount = m_transmittedCount;
    m_receivedCount = 0;
    m_systemExclusiveCount = 0;
    m_transmittedCount = 0;
    return receivedCount != 0 || systemExclusiveCount != 0 || transmittedCount != 0;
}

void MidiAnalyzer::clearTransmittedDataBuffer()
{
    Lock lock(m_lock);
    m_transmittedText.clear();
    m_transmittedCount = 0;
}

unsigned int MidiAnalyzer::getReceivedTimingClock()
{
    Lock lock(m_lock);
    std::uint32_t tempo = 0;
    return midilib_tempoMeasure_getTempo(&m_tempoMeasure, &tempo) == 0 ? tempo : 0;
}

void MidiAnalyzer::updateTempo(std::uint64_t elapsedMicroseconds)
{
    Lock lock(m_lock);
    midilib_tempoMeasure_update(&m_tempoMeasure, elapsedMicroseconds);
}

void MidiAnalyzer::updateParameter(unsigned int id)
{
    const bool filterParameter = isWithin(id, ChannelFilterParameterId, FilterLastChannelId)
        || isWithin(id, MessageTypeFilterParameterId, FilterLastMessageTypeId)
        || isWithin(id, ControlChangeFilterParameterId, FilterLastControllerId)
        || isWithin(id, SystemCommonFilterParameterId, FilterLastSystemCommonId)
        || isWithin(id, SystemRealtimeFilterParameterId, FilterLastSystemRealtimeId);
    switch (id) {
    case MidiThruParameterId:
    case MidiThruSecondParameterId:
    case TimeStampParameterId:
    case MessageDetailParameterId:
    case MessageMiddleCParameterId:
    case MessageTimeFormatParameterId:
    case MessageParsedParameterId:
        break;
    default:
        if (!filterParameter) {
            return;
        }
    }

    const int value = m_model->getModelIntValue(id);
    Lock lock(m_lock);
    switch (id) {
    case MidiThruParameterId:
        m_thruFirst = value != 0;
        break;
    case MidiThruSecondParameterId:
        m_thruSecond = value != 0;
        break;
    case TimeStampParameterId:
        m_lineFormat.setShowTime(value != 0);
        break;
    case MessageDetailParameterId:
        m_lineFormat.setShowDetail(value != 0);
        break;
    case MessageMiddleCParameterId:
        m_lineFormat.setMiddleC(value);
        break;
    case MessageTimeFormatParameterId:
        m_lineFormat.setTimeFormat(value);
        break;
    case MessageParsedParameterId:
        if ((value > 0) != m_parserEnabled) {
            m_parserEnabled = value > 0;
            initializeParser();
        }
        break;
    default:
        updateFilter(id, value != 0);
        break;
    }
}

void MidiAnalyzer::updateFilter(unsigned int id, bool on)
{
    // A switch is one byte; any value other than 0 turns it on, 256 included.
    const std::uint8_t switchByte = on ? 1 : 0;
    if (isWithin(id, ChannelFilterParameterId, FilterLastChannelId)) {
        midilib_filter_setChannelSwitch(&m_filter, std::uint8_t(id - ChannelFilterParameterId), switchByte);
    } else if (isWithin(id, ControlChangeFilterParameterId, FilterLastControllerId)) {
        midilib_filter_setControllerSwitch(&m_filter, std::uint8_t(id - ControlChangeFilterParameterId), switchByte);
    } else {
        MIDILIB_Event_Type type = NoEventType;
        if (isWithin(id, MessageTypeFilterParameterId, FilterLastMessageTypeId)) {
            type = convertMIDILIBEventTypeFromMIDIFilter(id - MessageTypeFilterParameterId);
        } else if (isWithin(id, SystemCommonFilterParameterId, FilterLastSystemCommonId)) {
            type = convertMIDILIBEventTypeFromFilterSystemCommon(id - SystemCommonFilterParameterId);
        } else {
            type = convertMIDILIBEventTypeFromFilterSystemRealtime(id - SystemRealtimeFilterParameterId);
        }
        // Control change, system common and system realtime as a whole are headings of the
        // filter view; those messages are filtered one controller or one message at a time.
        if (type != NoEventType) {
            midilib_filter_setEventSwitch(&m_filter, type, switchByte);
        }
    }
}

void MidiAnalyzer::initializeParser()
{
    Lock lock(m_lock);
    for (MIDILIB_Parser& parser : m_parsers) {
        midilib_parser_init(&parser);
    }
}

MIDILIB_Event_Type MidiAnalyzer::convertMIDILIBEventTypeFromMIDIFilter(unsigned int filter)
{
    switch (filter) {
    case MIDIFilterNoteOff:
        return MIDILIB_Event_Type_NoteOff;
    case MIDIFilterNoteOn:
        return MIDILIB_Event_Type_NoteOn;
    case MIDIFilterKeyPressure:
        return MIDILIB_Event_Type_PolyKeyPressure;
    case MIDIFilterProgramChange:
        return MIDILIB_Event_Type_ProgramChange;
    case MIDIFilterChannelPressure:
        return MIDILIB_Event_Type_ChannelKeyPressure;
    case MIDIFilterPitchBend:
        return MIDILIB_Event_Type_PitchBend;
    case MIDIFilterSystemExclusive:
        return MIDILIB_Event_Type_SystemExclusive;
    default:
        return NoEventType;
    }
}

MIDILIB_Event_Type MidiAnalyzer::convertMIDILIBEventTypeFromFilterSystemCommon(unsigned int filter)
{
    return filter < FilterSystemCommonCount ? MIDILIB_Event_Type(MIDILIB_Event_Type_Mtc + filter) : NoEventType;
}

MIDILIB_Event_Type MidiAnalyzer::convertMIDILIBEventTypeFromFilterSystemRealtime(unsigned int filter)
{
    return filter < FilterSystemRealtimeCount ? MIDILIB_Event_Type(MIDILIB_Event_Type_TimingClock + filter)
                                              : NoEventType;
}
