#ifndef SMLIB_CONSTDATA_H
#define SMLIB_CONSTDATA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A read-only byte stream over caller memory; null memory with size 0 is the empty stream. */
typedef struct smlib_constData {
    const uint8_t *memory;
    uint64_t size;
    uint64_t position;
} smlib_constData;

void smlib_constData_init(smlib_constData *self, const void *memory, uint64_t size);
/* Copies whole elements from the position while they lie inside the stream; returns the number
 * copied (0 once the stream is exhausted). */
uint64_t smlib_constData_read(smlib_constData *self, void *destination, uint64_t elementSize, uint64_t count);
/* As smlib_data_seek. */
int smlib_constData_seek(smlib_constData *self, int64_t offset, int origin);
uint64_t smlib_constData_tell(const smlib_constData *self);

#ifdef __cplusplus
}
#endif

#endif
