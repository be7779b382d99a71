#include "midilib_parser.h"

#include <assert.h>
#include <string.h>

void midilib_parser_init(MIDILIB_Parser *self)
{
    assert(self);
    midilib_parser_clear(self);
}

void midilib_parser_clear(MIDILIB_Parser *self)
{
    assert(self);
    smlib_constData_init(&self->input, NULL, 0);
    smlib_data_init(&self->messageWriter, NULL, 0);
}

void midilib_parser_setData(MIDILIB_Parser *self, const uint8_t *bytes, uint64_t size)
{
    assert(self);
    /* An empty delivery is no input, whatever pointer it comes with. */
    smlib_constData_init(&self->input, size > 0 ? bytes : NULL, size);
}

static bool inSystemExclusive(const MIDILIB_Parser *self)
{
    return smlib_data_getSize(&self->messageWriter) > 0 && self->messageBuff[0] == 0xF0;
}

/* The number of data bytes (bit 7 clear) at the start of bytes, at most size. */
static uint64_t dataByteRun(const uint8_t *bytes, uint64_t size)
{
    uint64_t run = 0;
    while (size - run >= 8) {
        uint64_t word;
        memcpy(&word, bytes + run, sizeof(word));
        if (word & UINT64_C(0x8080808080808080)) {
            break;
        }
        run += 8;
    }
    while (run < size && !(bytes[run] & 0x80)) {
        ++run;
    }
    return run;
}

/* Inside a system exclusive, takes the data bytes that follow in the input in one copy instead
 * of one by one. Returns -1 when the exclusive has filled its buffer without 0xF7. */
static int takeExclusiveData(MIDILIB_Parser *self)
{
    smlib_constData *input = &self->input;
    const uint8_t *next = input->memory + input->position;
    const uint64_t run = dataByteRun(next, input->size - input->position);
    const uint64_t taken = smlib_data_write(&self->messageWriter, next, 1, run);
    input->position += taken;
    if (smlib_data_tell(&self->messageWriter) == smlib_data_getSize(&self->messageWriter)) {
        return -1;
    }
    return 0;
}

/* The exclusive filled 16384 bytes without 0xF7: it will never be delivered, and the rest of
 * this delivery goes with it. */
static int dropExclusive(MIDILIB_Parser *self)
{
    smlib_constData_init(&self->input, NULL, 0);
    return -1;
}

int midilib_parser_parse(MIDILIB_Parser *self, MIDILIB_Event *event)
{
    assert(self);
    smlib_data *writer = &self->messageWriter;
    uint8_t b;
    if (smlib_constData_read(&self->input, &b, 1, 1) == 0) {
        return -1;
    }
    for (;;) {
        const uint16_t size = midilib_status_messageSize(b);
        if (size != 0) {
            /* a new message; whatever was being assembled is dropped */
            smlib_data_init(writer, self->messageBuff, size);
        }
        /* 0xF4, 0xF5, 0xF7, 0xF9 and 0xFD open no message; outside an exclusive they would only
         * corrupt the message being assembled, so they are dropped there */
        const bool dropped = size == 0 && (b & 0x80) && !inSystemExclusive(self);
        if (!dropped && smlib_data_write(writer, &b, 1, 1) == 1) {
            if (self->messageBuff[0] == 0xF0) {
                if (b == 0xF7) {
                    break;
                }
                if (smlib_data_tell(writer) == smlib_data_getSize(writer) || takeExclusiveData(self) != 0) {
                    return dropExclusive(self);
                }
            } else if (smlib_data_tell(writer) == smlib_data_getSize(writer)) {
                break;
            }
        }
        if (smlib_constData_read(&self->input, &b, 1, 1) == 0) {
            return -1; /* what is assembled waits for the next delivery */
        }
    }

    if (midilib_dataToEvent(self->messageBuff, smlib_data_tell(writer), event) != 0) {
        assert(0);
    }
    if (midilib_status_isChannelMessage(self->messageBuff[0])) {
        /* running status: the status byte stays, the next data bytes form the next message */
        smlib_data_seek(writer, 1, smlib_seek_set);
    } else {
        smlib_data_init(writer, NULL, 0);
    }
    return 0;
}

void midilib_parser_clearRunningStatus(MIDILIB_Parser *self)
{
    assert(self);
    if (smlib_data_tell(&self->messageWriter) == 1 && midilib_status_isChannelMessage(self->messageBuff[0])) {
        smlib_data_init(&self->messageWriter, NULL, 0);
    }
}
