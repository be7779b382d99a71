#ifndef MIDILIB_STATUS_H
#define MIDILIB_STATUS_H

#include <stdbool.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Value ranges. Channels are 0-based (0 to 15 stand for MIDI channels 1 to 16); system messages
 * carry MIDILIB_ChannelNumber_None. */
enum {
    MIDILIB_ChannelNumber_Min = 0,
    MIDILIB_ChannelNumber_Max = 15,
    MIDILIB_ChannelNumber_None = 255,
    MIDILIB_NoteNumber_Min = 0,
    MIDILIB_NoteNumber_Max = 127,
    MIDILIB_Velocity_Min = 0,
    MIDILIB_Velocity_Max = 127,
    MIDILIB_KeyPressure_Min = 0,
    MIDILIB_ControllerNumber_Min = 0,
    MIDILIB_ControllerNumber_Max = 127,
    MIDILIB_ControllerValue_Min = 0,
    MIDILIB_ControllerValue_Max = 127,
    MIDILIB_ProgramNumber_Min = 0,
    MIDILIB_ProgramNumber_Max = 127,
    MIDILIB_Uint14_Max = 16383,
    /* The largest system exclusive accepted, 0xF0 to 0xF7 inclusive. */
    MIDILIB_SystemExclusive_MaxSize = 16384
};

/* Bytes in the whole message that the byte opens, status byte included: the table size for a
 * status byte, 0 for a data byte and for the status bytes that open no message of their own
 * (0xF4, 0xF5, 0xF7, 0xF9, 0xFD). */
uint16_t midilib_status_messageSize(uint8_t byte);
/* A channel status with its channel nibble cleared; any other byte unchanged. */
uint8_t midilib_status_plain(uint8_t byte);
bool midilib_status_isChannelMessage(uint8_t byte);
/* The channel of a channel status, MIDILIB_ChannelNumber_None for any other byte. */
uint8_t midilib_status_getChannelNumber(uint8_t byte);
/* True for a status byte that opens a message. */
bool midilib_status_check(uint8_t byte);
/* Replaces the channel nibble of a channel status in place; returns the resulting byte. */
uint8_t midilib_status_setChannelNumber(uint8_t *status, uint8_t channelNumber);

/* 14-bit values over two data bytes. "msb" names the seven bits of the first data byte (the low
 * bits), "lsb" those of the second (the high bits): msb then lsb is the wire order. */
uint16_t midilib_uint14_make(uint8_t first, uint8_t second);
uint8_t midilib_uint14_msb(uint16_t value);
uint8_t midilib_uint14_lsb(uint16_t value);

#ifdef __cplusplus
}
#endif

#endif
