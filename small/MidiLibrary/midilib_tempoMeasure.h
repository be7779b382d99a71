#ifndef MIDILIB_TEMPOMEASURE_H
#define MIDILIB_TEMPOMEASURE_H

#include "midilib_timingClockGenerator.h"
#include "small/StaticMemoryLibrary/smlib_uaverage.h"

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    /* intervals averaged: one quarter note of clocks */
    MIDILIB_TempoMeasure_SampleCount = 24
};

/* Measures the tempo of received timing clocks, averaged over the last 24 clock intervals, and
 * forgets it after more than three seconds without a clock. Times in microseconds. The average
 * runs over the record's own sample buffer, so the record is initialised where it lives and never
 * copied by value. */
typedef struct MIDILIB_TempoMeasure {
    smlib_uaverage average;
    uint64_t sampleBuff[MIDILIB_TempoMeasure_SampleCount];
    /* a first clock has been seen since the last reset */
    bool started;
    /* at least one interval has been measured since the last reset */
    bool valid;
    uint64_t lastClockTime;
    uint64_t averageInterval;
    /* time since the last clock */
    uint64_t idleTime;
} MIDILIB_TempoMeasure;

void midilib_tempoMeasure_init(MIDILIB_TempoMeasure *self);
/* One received timing clock; time is the time of day in microseconds (it wraps at midnight). */
void midilib_tempoMeasure_setClockTiming(MIDILIB_TempoMeasure *self, uint64_t time);
/* Advances the silence timer by the microseconds elapsed since the previous call. */
void midilib_tempoMeasure_update(MIDILIB_TempoMeasure *self, uint64_t elapsed);
/* Returns 0 and writes the tempo in tenths of BPM (at most MIDILIB_Tempo_Max), or -1 when tempo
 * is null or no tempo is known. */
int midilib_tempoMeasure_getTempo(const MIDILIB_TempoMeasure *self, uint32_t *tempo);

#ifdef __cplusplus
}
#endif

#endif
