#ifndef SMLIB_DATA_H
#define SMLIB_DATA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* A writable byte stream over caller memory. The stream with null memory and size 0 is the
 * empty stream: nothing can be written to it. */
typedef struct smlib_data {
    uint8_t *memory;
    uint64_t size;
    uint64_t position;
} smlib_data;

/* Seek origins. */
enum {
    smlib_seek_set = 0,
    smlib_seek_cur = 1,
    smlib_seek_end = 2
};

void smlib_data_init(smlib_data *self, void *memory, uint64_t size);
/* Copies whole elements to the position while they fit; returns the number copied. */
uint64_t smlib_data_write(smlib_data *self, const void *source, uint64_t elementSize, uint64_t count);
/* Copies whole elements from the position while they lie inside the stream; returns the number
 * copied. */
uint64_t smlib_data_read(smlib_data *self, void *destination, uint64_t elementSize, uint64_t count);
/* Moves the position; 0 when it moved, -1 when the target is where the position already is. */
int smlib_data_seek(smlib_data *self, int64_t offset, int origin);
uint64_t smlib_data_tell(const smlib_data *self);
uint64_t smlib_data_getSize(const smlib_data *self);

#ifdef __cplusplus
}
#endif

#endif
