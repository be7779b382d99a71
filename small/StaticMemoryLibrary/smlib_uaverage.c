#include "smlib_uaverage.h"

#include <assert.h>

void smlib_uaverage_init(smlib_uaverage *self, uint64_t *sampleBuff, uint64_t sampleBuffSize)
{
    assert(self);
    assert(sampleBuff);
    assert(sampleBuffSize > 0);
    self->sampleBuff = sampleBuff;
    self->sampleBuffSize = sampleBuffSize;
    smlib_uaverage_reset(self);
}

void smlib_uaverage_reset(smlib_uaverage *self)
{
    assert(self);
    self->full = false;
    self->index = 0;
    self->sum = 0;
}

uint64_t smlib_uaverage_calc(smlib_uaverage *self, uint64_t sample)
{
    assert(self);
    const bool wasFull = self->full;
    if (wasFull) {
        const uint64_t oldSample = self->sampleBuff[self->index];
        assert(self->sum >= oldSample);
        self->sum -= oldSample;
    }
    self->sum += sample;
    self->sampleBuff[self->index] = sample;
    self->index += 1;

    uint64_t divisor;
    if (self->index >= self->sampleBuffSize) {
        self->index = 0;
        self->full = true;
        divisor = self->sampleBuffSize;
    } else {
        divisor = wasFull ? self->sampleBuffSize : self->index;
    }
    return self->sum / divisor;
}
