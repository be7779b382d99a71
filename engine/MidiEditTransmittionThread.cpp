#include "engine/MidiEditTransmittionThread.h"

#include "engine/MessageTables.h"
#include "engine/MessageTextSyntax.h"
#include "engine/MidiParserDelivery.h"
#include "engine/MillisecondClock.h"
#include "model/ModelIF.h"
#include "model/TulvarMidiParameters.h"

#include <algorithm>
#include <vector>

MidiEditTransmittionThread::MidiEditTransmittionThread(QObject* parent, ModelIF* model,
                                                       MidiTransmitterIF* transmitter, MillisecondClockIF* clock)
    : MidiEditTransmittionThread(parent, model, transmitter, clock, DeferredStart{})
{
    startWorker();
}

MidiEditTransmittionThread::MidiEditTransmittionThread(QObject* parent, ModelIF* model,
                                                       MidiTransmitterIF* transmitter, MillisecondClockIF* clock,
                                                       DeferredStart)
    : QThread(parent)
    , m_model(model)
    , m_transmitter(transmitter)
    , m_clock(clock != nullptr ? clock : SteadyMillisecondClock::instance())
{
    midilib_parser_init(&m_parser);
    m_parserEnabled = m_model->getModelIntValue(MessageParsedParameterId) > 0;
    m_model->registerModelAssistant(this);
}

MidiEditTransmittionThread::~MidiEditTransmittionThread()
{
    m_model->unregisterModelAssistant(this);
    finishWorker();
}

void MidiEditTransmittionThread::startWorker()
{
    start(QThread::InheritPriority);
    setPriority(QThread::NormalPriority);
}

void MidiEditTransmittionThread::finishWorker()
{
    {
        std::lock_guard<std::mutex> handOver(m_handOverMutex);
        m_quit = true;
    }
    m_wake.notify_all();
    wait();
}

void MidiEditTransmittionThread::setTransmittionMessage(QString const& text)
{
    std::lock_guard<SetterPriorityMutex> lock(m_lock);
    m_running = true;
    {
        std::lock_guard<std::mutex> handOver(m_handOverMutex);
        m_handOvers.push_back(text);
    }
    m_wake.notify_all();
}

void MidiEditTransmittionThread::stopTransmittion()
{
    m_running = false;
    std::lock_guard<SetterPriorityMutex> lock(m_lock);
}

void MidiEditTransmittionThread::setBulkIntervalIgnored(bool ignored)
{
    const std::unique_lock<std::mutex> lock = m_lock.lockAsSetter();
    m_bulkIntervalIgnored = ignored;
}

void MidiEditTransmittionThread::updateParameter(unsigned int id)
{
    if (id != MessageParsedParameterId) {
        return;
    }
    const bool enabled = m_model->getModelIntValue(id) > 0;
    const std::unique_lock<std::mutex> lock = m_lock.lockAsSetter();
    if (enabled != m_parserEnabled) {
        m_parserEnabled = enabled;
        m_parserResetPending = true;
    }
}

bool MidiEditTransmittionThread::waitForHandOver(QString& text)
{
    std::unique_lock<std::mutex> handOver(m_handOverMutex);
    m_wake.wait(handOver, [this] { return m_quit.load() || !m_handOvers.empty(); });
    if (m_quit.load()) {
        return false;
    }
    text = std::move(m_handOvers.front());
    m_handOvers.pop_front();
    return true;
}

bool MidiEditTransmittionThread::takeNewestHandOver(QString& text)
{
    std::lock_guard<std::mutex> handOver(m_handOverMutex);
    if (m_handOvers.empty()) {
        return false;
    }
    text = std::move(m_handOvers.back());
    m_handOvers.clear();
    return true;
}

void MidiEditTransmittionThread::run()
{
    QString text;
    while (waitForHandOver(text)) {
        std::lock_guard<SetterPriorityMutex> lock(m_lock);
        transmitMessage(text);
        text.clear();
    }
}

MidiEditTransmittionThread::TransmittionResult MidiEditTransmittionThread::transmitMessage(QString const& text)
{
    const TransmittionResult result = parseMessage(text);
    emit finishTransmittion(TransmittionFinished);
    return result;
}

MidiEditTransmittionThread::TransmittionResult MidiEditTransmittionThread::interruptTransmittion()
{
    midilib_parser_clear(&m_parser);
    const bool stopped = !m_running.load() || m_quit.load();
    const TransmittionResult result = stopped ? TransmittionStopped : TransmittionFailed;
    emit finishTransmittion(result);
    return result;
}

MidiEditTransmittionThread::TransmittionResult MidiEditTransmittionThread::parseMessage(QString const& text)
{
    const QString cleaned = MessageTextSyntax::cleanMessageText(text);
    const int length = cleaned.size();
    if (length == 0) {
        return TransmittionFinished;
    }
    midilib_parser_clearRunningStatus(&m_parser);
    emit startTransmittion(quint32(length / 2));

    quint32 sent = 0;
    std::vector<unsigned char> bytes(ChunkCharacters / 2);
    for (int offset = 0; offset < length; offset += ChunkCharacters) {
        if (m_parserResetPending) {
            midilib_parser_init(&m_parser);
            m_parserResetPending = false;
        }
        const int chunkLength = std::min(ChunkCharacters, length - offset);
        if (chunkLength == 1) {
            return interruptTransmittion();
        }
        const std::size_t byteCount = std::size_t(chunkLength / 2);
        if (!MessageTextSyntax::convertHexStringToHexNumber(bytes.data(), cleaned.constData() + offset, byteCount)) {
            return interruptTransmittion();
        }
        bool sending = true;
        if (m_parserEnabled) {
            parseDelivery(&m_parser, &m_event, bytes.data(), byteCount, [&](const MIDILIB_Event& event) {
                midilib_eventToData(&event, &m_eventData);
                sending = transmitBytes(midilib_data_getMemory(&m_eventData),
                                        static_cast<unsigned short>(midilib_data_getSize(&m_eventData)), event.type,
                                        sent);
                return sending;
            });
        } else {
            sending = transmitBytes(bytes.data(), static_cast<unsigned short>(byteCount), UnparsedEventType, sent);
        }
        if (!sending) {
            return interruptTransmittion();
        }
    }
    return TransmittionFinished;
}

bool MidiEditTransmittionThread::transmitBytes(const unsigned char* data, unsigned short size, unsigned char eventType,
                                               quint32& sent)
{
    // A stop is honoured before the next message goes out, so that every byte counted as sent was.
    m_lock.giveWay();
    if (!m_running.load() || m_quit.load()) {
        return false;
    }
    if (!m_transmitter->transmitMidi(data, size, eventType, OutputPortGroupBoth, m_bulkIntervalIgnored)) {
        return false;
    }
    sent += size;
    emit transmittionProgress(sent);
    return true;
}

void MidiEditTransmittionThread::sleepThread(int milliseconds)
{
    const int start = m_clock->elapsed();
    while (m_running.load() && !m_quit.load()
           && MillisecondClockIF::millisecondsBetween(start, m_clock->elapsed()) < milliseconds) {
        m_lock.giveWay();
        QThread::yieldCurrentThread();
    }
}
