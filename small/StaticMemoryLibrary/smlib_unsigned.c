#include "smlib_unsigned.h"

uint64_t smlib_unsigned_inc(uint64_t value, uint64_t limit, int64_t step)
{
    if (step > 0) {
        const uint64_t magnitude = (uint64_t)step;
        /* value + magnitude < limit, written so that it cannot overflow */
        if (value < limit && magnitude < limit - value) {
            return value + magnitude;
        }
        return value;
    }
    if (step < 0) {
        const uint64_t magnitude = (uint64_t)(-(step + 1)) + 1u;
        if (magnitude < value) {
            return value - magnitude;
        }
        return value;
    }
    return value;
}

int smlib_unsigned_seek(uint64_t *position, uint64_t size, int64_t offset, int origin)
{
    uint64_t base = *position;
    if (origin == 0) {
        base = 0;
        *position = base;
    } else if (origin == 2) {
        /* the last byte; an empty stream has none, so it stays at 0 */
        base = size > 0 ? size - 1u : 0u;
        *position = base;
    }
    const uint64_t target = smlib_unsigned_inc(base, size, offset);
    if (target == *position) {
        return -1;
    }
    *position = target;
    return 0;
}
