#include "midilib_data.h"

#include <assert.h>

void midilib_data_init(MIDILIB_Data *self, const void *source, uint64_t elementSize, uint64_t count)
{
    assert(self);
    smlib_data_init(&self->stream, self->storage, sizeof(self->storage));
    if (source) {
        if (smlib_data_write(&self->stream, source, elementSize, count) != count) {
            assert(0);
        }
    }
}

uint64_t midilib_data_write(MIDILIB_Data *self, const void *source, uint64_t elementSize, uint64_t count)
{
    assert(self);
    return smlib_data_write(&self->stream, source, elementSize, count);
}

const uint8_t *midilib_data_getMemory(const MIDILIB_Data *self)
{
    assert(self);
    return self->storage;
}

uint64_t midilib_data_getSize(const MIDILIB_Data *self)
{
    assert(self);
    return smlib_data_tell(&self->stream);
}
