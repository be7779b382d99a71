#include "engine/MidiBulkIntervalManager.h"

#include "engine/MillisecondClock.h"
#include "model/ModelIF.h"
#include "model/TulvarMidiParameters.h"

#include <QThread>

#include <algorithm>

namespace {
const unsigned char EndOfExclusive = 0xF7;
}

MidiBulkIntervalManager::MidiBulkIntervalManager(ModelIF* model, MillisecondClockIF* clock)
    : m_model(model), m_clock(clock != nullptr ? clock : SteadyMillisecondClock::instance())
{
    readInterval();
    m_enabled = m_model->getModelIntValue(MessageParsedParameterId) > 0;
    m_model->registerModelAssistant(this);
}

MidiBulkIntervalManager::~MidiBulkIntervalManager()
{
    m_model->unregisterModelAssistant(this);
}

void MidiBulkIntervalManager::waitBulkBeforeTransmission(const unsigned char*, unsigned short)
{
}

void MidiBulkIntervalManager::waitBulkAfterTransmission(const unsigned char* data, unsigned short size)
{
    const int interval = m_interval.load();
    if (!m_enabled.load() || interval <= 0 || size == 0 || data[size - 1] != EndOfExclusive) {
        return;
    }
    const int start = m_clock->elapsed();
    while (MillisecondClockIF::millisecondsBetween(start, m_clock->elapsed()) < interval) {
        QThread::yieldCurrentThread();
    }
}

void MidiBulkIntervalManager::setEnabledBulkInterval(bool enabled)
{
    if (enabled) {
        readInterval();
    } else {
        m_interval = 0;
    }
}

void MidiBulkIntervalManager::updateParameter(unsigned int id)
{
    if (id == MessageParsedParameterId) {
        m_enabled = m_model->getModelIntValue(id) > 0;
    } else if (id == BulkIntervalParameterId) {
        readInterval();
    }
}

void MidiBulkIntervalManager::readInterval()
{
    // A hand-edited settings file must not turn the pause into a hang of the sending thread.
    m_interval = std::clamp(m_model->getModelIntValue(BulkIntervalParameterId), 0, MaximumInterval);
}
