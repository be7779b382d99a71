#ifndef SMLIB_UAVERAGE_H
#define SMLIB_UAVERAGE_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Running average of the last sampleBuffSize unsigned samples, over a caller's sample array. */
typedef struct smlib_uaverage {
    uint64_t *sampleBuff;
    uint64_t sampleBuffSize;
    bool full;
    uint64_t index;
    uint64_t sum;
} smlib_uaverage;

void smlib_uaverage_init(smlib_uaverage *self, uint64_t *sampleBuff, uint64_t sampleBuffSize);
void smlib_uaverage_reset(smlib_uaverage *self);
/* Adds one sample and returns the mean (rounded down) of the samples now in the window. */
uint64_t smlib_uaverage_calc(smlib_uaverage *self, uint64_t sample);

#ifdef __cplusplus
}
#endif

#endif
