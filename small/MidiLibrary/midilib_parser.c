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

/* A message is being assembled and has room for another byte. */
static bool isOpen(const smlib_data *writer)
{
    return writer->position < writer->size;
}

/* Timing clock, start, continue, stop, active sensing and reset may stand anywhere, even between
 * the bytes of another message (MIDI 1.0); they leave that message and running status alone. */
static bool isRealTime(uint8_t byte)
{
    return byte >= 0xF8 && byte != 0xF9 && byte != 0xFD;
}

/* Converts the assembled message; a channel message leaves its status for running status. */
static int complete(MIDILIB_Parser *self, MIDILIB_Event *event)
{
    smlib_data *writer = &self->messageWriter;
    if (midilib_dataToEvent(self->messageBuff, smlib_data_tell(writer), event) != 0) {
        assert(0);
    }
    if (midilib_status_isChannelMessage(self->messageBuff[0])) {
        writer->position = 1; /* the status byte stays; the next data bytes form the next message */
    } else {
        smlib_data_init(writer, NULL, 0);
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

/* Inside an exclusive the data bytes that follow are taken in one copy rather than one by one. */
static void takeExclusiveData(MIDILIB_Parser *self)
{
    smlib_constData *input = &self->input;
    const uint8_t *next = input->memory + input->position;
    const uint64_t run = dataByteRun(next, input->size - input->position);
    input->position += smlib_data_write(&self->messageWriter, next, 1, run);
}

/* The input and the writer are used through their fields here: this loop sees every byte that
 * arrives, and a call per byte would cost more than the work itself. */
int midilib_parser_parse(MIDILIB_Parser *self, MIDILIB_Event *event)
{
    assert(self);
    smlib_constData *input = &self->input;
    smlib_data *writer = &self->messageWriter;
    while (input->position < input->size) {
        const uint8_t b = input->memory[input->position++];
        if (b < 0x80) {
            if (!isOpen(writer)) {
                continue; /* Idle or Exclusive full: dropped */
            }
            writer->memory[writer->position++] = b;
            if (self->messageBuff[0] == 0xF0) {
                takeExclusiveData(self);
                if (!isOpen(writer)) {
                    return dropExclusive(self);
                }
            } else if (!isOpen(writer)) {
                return complete(self, event);
            }
            continue;
        }
        if (isRealTime(b)) {
            if (midilib_dataToEvent(&b, 1, event) != 0) {
                assert(0);
            }
            return 0;
        }
        const uint16_t size = midilib_status_messageSize(b);
        if (size != 0) {
            /* a new message; whatever was being assembled is dropped */
            smlib_data_init(writer, self->messageBuff, size);
            writer->memory[writer->position++] = b;
            if (!isOpen(writer)) {
                return complete(self, event);
            }
            continue;
        }
        /* 0xF4, 0xF5, 0xF7, 0xF9 and 0xFD open no message. An exclusive keeps them as received
         * (0xF7 ends it); in any other message they would stand for data bytes of 128 and more,
         * so there they are dropped. */
        if (isOpen(writer) && self->messageBuff[0] == 0xF0) {
            writer->memory[writer->position++] = b;
            if (b == 0xF7) {
                return complete(self, event);
            }
            if (!isOpen(writer)) {
                return dropExclusive(self);
            }
        }
    }
    return -1; /* what is assembled waits for the next delivery */
}

void midilib_parser_clearRunningStatus(MIDILIB_Parser *self)
{
    assert(self);
    if (smlib_data_tell(&self->messageWriter) == 1 && midilib_status_isChannelMessage(self->messageBuff[0])) {
        smlib_data_init(&self->messageWriter, NULL, 0);
    }
}
