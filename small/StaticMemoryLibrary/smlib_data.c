#include "smlib_data.h"

#include "smlib_unsigned.h"

#include <assert.h>
#include <string.h>

void smlib_data_init(smlib_data *self, void *memory, uint64_t size)
{
    assert(self);
    if (!memory) {
        assert(size == 0);
    } else {
        assert(size > 0);
    }
    self->memory = (uint8_t *)memory;
    self->size = size;
    self->position = 0;
}

uint64_t smlib_data_write(smlib_data *self, const void *source, uint64_t elementSize, uint64_t count)
{
    assert(self);
    assert(source);
    assert(elementSize > 0);
    const uint64_t fitting = (self->size - self->position) / elementSize;
    const uint64_t copied = count < fitting ? count : fitting;
    if (copied > 0) {
        memcpy(self->memory + self->position, source, (size_t)(copied * elementSize));
        self->position += copied * elementSize;
    }
    return copied;
}

uint64_t smlib_data_read(smlib_data *self, void *destination, uint64_t elementSize, uint64_t count)
{
    assert(self);
    assert(destination);
    assert(elementSize > 0);
    const uint64_t available = (self->size - self->position) / elementSize;
    const uint64_t copied = count < available ? count : available;
    if (copied > 0) {
        memcpy(destination, self->memory + self->position, (size_t)(copied * elementSize));
        self->position += copied * elementSize;
    }
    return copied;
}

int smlib_data_seek(smlib_data *self, int64_t offset, int origin)
{
    assert(self);
    if (origin < smlib_seek_set || origin > smlib_seek_end) {
        assert(0);
    }
    return smlib_unsigned_seek(&self->position, self->size, offset, origin);
}

uint64_t smlib_data_tell(const smlib_data *self)
{
    assert(self);
    return self->position;
}

uint64_t smlib_data_getSize(const smlib_data *self)
{
    assert(self);
    return self->size;
}
