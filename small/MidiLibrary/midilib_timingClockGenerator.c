#include "midilib_timingClockGenerator.h"

#include <assert.h>

void midilib_timingClockGenerator_init(MIDILIB_TimingClockGenerator *self)
{
    assert(self);
    self->remainder = 0;
    self->clockInterval = (uint64_t)MIDILIB_Tempo_ClockIntervalProduct / 900u; /* 90.0 BPM */
}

void midilib_timingClockGenerator_setTempo(MIDILIB_TimingClockGenerator *self, uint32_t tempo)
{
    assert(self);
    assert(tempo <= MIDILIB_Tempo_Max);
    assert(tempo > 0);
    self->clockInterval = (uint64_t)MIDILIB_Tempo_ClockIntervalProduct / tempo;
}

int midilib_timingClockGenerator_generate(MIDILIB_TimingClockGenerator *self, uint64_t elapsedMilliseconds, uint64_t *clocks)
{
    assert(self);
    assert(clocks);
    const uint64_t total = elapsedMilliseconds * 1000u + self->remainder;
    if (total > self->clockInterval) {
        *clocks = total / self->clockInterval;
        self->remainder = total % self->clockInterval;
        return 0;
    }
    self->remainder = total;
    return -1;
}
