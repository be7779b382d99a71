#ifndef SMLIB_UNSIGNED_H
#define SMLIB_UNSIGNED_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Steps value by step and returns the result, or value unchanged when the step is not allowed:
 * a positive step needs value + step < limit, a negative one needs |step| < value (so the
 * result stays at least 1). */
uint64_t smlib_unsigned_inc(uint64_t value, uint64_t limit, int64_t step);

/* The position arithmetic of the byte streams' seek (origin 0 start, 1 current, 2 end): the
 * position is first set to the base of the origin, then stepped from it. Returns -1 when the
 * target equals the position so set, 0 when the position moved. The caller checks origin. */
int smlib_unsigned_seek(uint64_t *position, uint64_t size, int64_t offset, int origin);

#ifdef __cplusplus
}
#endif

#endif
