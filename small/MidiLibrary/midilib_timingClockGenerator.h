#ifndef MIDILIB_TIMINGCLOCKGENERATOR_H
#define MIDILIB_TIMINGCLOCKGENERATOR_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Tempo in tenths of a beat per minute (1200 = 120.0 BPM). One clock at tempo t lasts
 * 60 s / (t / 10 * 24) = MIDILIB_Tempo_ClockIntervalProduct / t microseconds. */
enum {
    MIDILIB_Tempo_Max = 3000,
    MIDILIB_Tempo_ClockIntervalProduct = 25000000
};

/* Turns elapsed time into the number of timing clocks (24 per quarter note) due at a tempo,
 * carrying the remainder so that no time is lost between calls. Times in microseconds. */
typedef struct MIDILIB_TimingClockGenerator {
    uint64_t remainder;
    uint64_t clockInterval;
} MIDILIB_TimingClockGenerator;

/* Remainder 0, the clock interval of 90.0 BPM. */
void midilib_timingClockGenerator_init(MIDILIB_TimingClockGenerator *self);
/* Tempo 1 to MIDILIB_Tempo_Max; the remainder stays, so no time is lost. */
void midilib_timingClockGenerator_setTempo(MIDILIB_TimingClockGenerator *self, uint32_t tempo);
/* Adds the elapsed time; returns 0 and writes the number of clocks due, or returns -1 when none
 * is due (clocks is then not written). */
int midilib_timingClockGenerator_generate(MIDILIB_TimingClockGenerator *self, uint64_t elapsedMilliseconds, uint64_t *clocks);

#ifdef __cplusplus
}
#endif

#endif
