#ifndef MIDILIB_EVENT_H
#define MIDILIB_EVENT_H

#include "midilib_data.h"
#include "midilib_status.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One byte; the values are fixed (the filter indexes its switches by them, the monitor and the
 * transmit path use them as event types). */
typedef uint8_t MIDILIB_Event_Type;
enum {
    MIDILIB_Event_Type_NoteOff = 0,
    MIDILIB_Event_Type_NoteOn = 1,
    MIDILIB_Event_Type_PolyKeyPressure = 2,
    MIDILIB_Event_Type_ControlChange = 3,
    MIDILIB_Event_Type_ProgramChange = 4,
    MIDILIB_Event_Type_ChannelKeyPressure = 5,
    MIDILIB_Event_Type_PitchBend = 6,
    MIDILIB_Event_Type_SystemExclusive = 7,
    MIDILIB_Event_Type_Mtc = 8,
    MIDILIB_Event_Type_SongPositionPointer = 9,
    MIDILIB_Event_Type_SongSelect = 10,
    MIDILIB_Event_Type_TuneRequest = 11,
    MIDILIB_Event_Type_TimingClock = 12,
    MIDILIB_Event_Type_Start = 13,
    MIDILIB_Event_Type_Continue = 14,
    MIDILIB_Event_Type_Stop = 15,
    MIDILIB_Event_Type_ActiveSensing = 16,
    MIDILIB_Event_Type_SystemReset = 17,
    MIDILIB_Event_Type_Min = MIDILIB_Event_Type_NoteOff,
    MIDILIB_Event_Type_Max = MIDILIB_Event_Type_SystemReset
};

/* One complete message. Plain record, copied by value; about 16 KiB, so it lives on the stack
 * or inside a larger record. */
typedef struct MIDILIB_Event {
    MIDILIB_Event_Type type;
    /* 0 to 15 for the channel messages (types 0 to 6), MIDILIB_ChannelNumber_None otherwise. */
    uint8_t channelNumber;
    union {
        /* Types 0 to 3: note or controller number, then velocity, pressure or value. */
        struct {
            uint8_t first;
            uint8_t second;
        } twoBytes;
        /* Types 4, 5, 8 and 10. */
        uint8_t oneByte;
        /* Types 6 and 9: 0 to 16383 (pitch bend centre 8192). */
        uint16_t uint14;
        /* Type 7: the whole message, 0xF0 to the closing 0xF7 inclusive. */
        struct {
            uint8_t bytes[MIDILIB_SystemExclusive_MaxSize];
            uint64_t length;
        } systemExclusive;
    } payload;
} MIDILIB_Event;

/* Fills event from the bytes of one complete, well-formed message: 0 on success, -1 when the
 * bytes are anything else (the event is then unspecified). */
int midilib_dataToEvent(const uint8_t *data, uint64_t length, MIDILIB_Event *event);
/* Writes the message bytes of event into data (initialised here). The event's values must be in
 * range. */
void midilib_eventToData(const MIDILIB_Event *event, MIDILIB_Data *data);

#ifdef __cplusplus
}
#endif

#endif
