#ifndef MIDILIB_PARSER_H
#define MIDILIB_PARSER_H

#include "midilib_event.h"
#include "midilib_status.h"
#include "small/StaticMemoryLibrary/smlib_constData.h"
#include "small/StaticMemoryLibrary/smlib_data.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Turns any cut of a MIDI byte stream into complete messages, keeping what is assembled between
 * deliveries and implementing running status. System real-time bytes become events of their own
 * wherever they stand and disturb nothing else. The writer runs over the record's own buffer, so
 * the record is initialised where it lives and never copied by value.
 *
 * States: Idle (the writer is the empty stream; data bytes are dropped), Assembling, Running
 * status (a channel message was completed: the status byte stays in byte 0, position 1), and
 * Exclusive full (16384 bytes without 0xF7: bytes are refused until a status byte that opens a
 * message). */
typedef struct MIDILIB_Parser {
    /* the bytes of the current delivery */
    smlib_constData input;
    /* size: the length of the message being assembled; position: the bytes assembled so far */
    smlib_data messageWriter;
    uint8_t messageBuff[MIDILIB_SystemExclusive_MaxSize];
} MIDILIB_Parser;

void midilib_parser_init(MIDILIB_Parser *self);
/* Back to Idle with no input. */
void midilib_parser_clear(MIDILIB_Parser *self);
/* Makes bytes the input, read from the start; what is being assembled carries over. The bytes
 * must stay valid until parse has returned -1 for them. */
void midilib_parser_setData(MIDILIB_Parser *self, const uint8_t *bytes, uint64_t size);
/* Writes the next complete message to event and returns 0, or returns -1 when the input holds no
 * further message. Call once per delivery after setData until it returns -1. A system exclusive
 * that reaches 16384 bytes without 0xF7 is discarded together with the rest of that delivery. */
int midilib_parser_parse(MIDILIB_Parser *self, MIDILIB_Event *event);
/* Ends running status so that following data bytes are dropped; a half-assembled message stays. */
void midilib_parser_clearRunningStatus(MIDILIB_Parser *self);

#ifdef __cplusplus
}
#endif

#endif
