#ifndef MIDILIB_DATA_H
#define MIDILIB_DATA_H

#include "midilib_status.h"
#include "small/StaticMemoryLibrary/smlib_data.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The bytes of one message. The stream runs over the record's own storage, so the record is
 * initialised where it lives and never copied by value. */
typedef struct MIDILIB_Data {
    smlib_data stream;
    uint8_t storage[MIDILIB_SystemExclusive_MaxSize];
} MIDILIB_Data;

/* Empties the record; when source is not null, writes count elements of elementSize bytes from
 * it, all of which must fit. */
void midilib_data_init(MIDILIB_Data *self, const void *source, uint64_t elementSize, uint64_t count);
/* Appends whole elements while they fit; returns the number written. */
uint64_t midilib_data_write(MIDILIB_Data *self, const void *source, uint64_t elementSize, uint64_t count);
/* The message's first byte. */
const uint8_t *midilib_data_getMemory(const MIDILIB_Data *self);
/* The number of bytes written: the message length. */
uint64_t midilib_data_getSize(const MIDILIB_Data *self);

#ifdef __cplusplus
}
#endif

#endif
