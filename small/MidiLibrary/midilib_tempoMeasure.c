#include "midilib_tempoMeasure.h"

#include <assert.h>

static const uint64_t OneDay = UINT64_C(86400000000);
/* More than three seconds without a clock: the clock has stopped. */
static const uint64_t SilenceLimit = 3000001u;

void midilib_tempoMeasure_init(MIDILIB_TempoMeasure *self)
{
    assert(self);
    smlib_uaverage_init(&self->average, self->sampleBuff, MIDILIB_TempoMeasure_SampleCount);
    self->started = false;
    self->valid = false;
    self->lastClockTime = 0;
    self->averageInterval = 0;
    self->idleTime = 0;
}

void midilib_tempoMeasure_setClockTiming(MIDILIB_TempoMeasure *self, uint64_t time)
{
    assert(self);
    if (self->started) {
        uint64_t interval = time - self->lastClockTime;
        if (self->lastClockTime > time) {
            interval += OneDay; /* the time of day wrapped at midnight */
        }
        self->averageInterval = smlib_uaverage_calc(&self->average, interval);
        self->valid = true;
    } else {
        self->started = true;
    }
    self->lastClockTime = time;
    self->idleTime = 0;
}

void midilib_tempoMeasure_update(MIDILIB_TempoMeasure *self, uint64_t elapsed)
{
    assert(self);
    if (!self->started) {
        return;
    }
    self->idleTime += elapsed;
    if (self->idleTime >= SilenceLimit) {
        self->started = false;
        self->valid = false;
        self->averageInterval = 0;
        self->lastClockTime = 0;
        /* the clock that starts again may run at another tempo: measure it afresh */
        smlib_uaverage_reset(&self->average);
    }
}

int midilib_tempoMeasure_getTempo(const MIDILIB_TempoMeasure *self, uint32_t *tempo)
{
    assert(self);
    if (!tempo || !self->valid) {
        return -1;
    }
    if (self->averageInterval == 0) {
        *tempo = MIDILIB_Tempo_Max;
    } else {
        const uint64_t measured = (uint64_t)MIDILIB_Tempo_ClockIntervalProduct / self->averageInterval;
        *tempo = measured < MIDILIB_Tempo_Max ? (uint32_t)measured : (uint32_t)MIDILIB_Tempo_Max;
    }
    return 0;
}
