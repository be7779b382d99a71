#include "midilib_status.h"

#include <assert.h>

/* The parser asks for every byte it reads, so the sizes are one table lookup. */
static const uint16_t messageSizes[256] = {
    /* 0x00: data bytes */
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    /* 0x80: note off */
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
    /* 0x90: note on */
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
    /* 0xA0: polyphonic key pressure */
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
    /* 0xB0: control change */
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
    /* 0xC0: program change */
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    /* 0xD0: channel key pressure */
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,
    /* 0xE0: pitch bend */
    3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3,
    /* 0xF0: system: F0 exclusive, F1 time code, F2 song position, F3 song select, F6 tune request,
     * F8 clock, FA start, FB continue, FC stop, FE active sensing, FF reset; F4 F5 F7 F9 FD none */
    MIDILIB_SystemExclusive_MaxSize, 2, 3, 2, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1, 1,
};

uint16_t midilib_status_messageSize(uint8_t byte)
{
    return messageSizes[byte];
}

uint8_t midilib_status_plain(uint8_t byte)
{
    return midilib_status_isChannelMessage(byte) ? (uint8_t)(byte & 0xF0) : byte;
}

bool midilib_status_isChannelMessage(uint8_t byte)
{
    return byte >= 0x80 && byte <= 0xEF;
}

uint8_t midilib_status_getChannelNumber(uint8_t byte)
{
    return midilib_status_isChannelMessage(byte) ? (uint8_t)(byte & 0x0F) : (uint8_t)MIDILIB_ChannelNumber_None;
}

bool midilib_status_check(uint8_t byte)
{
    return byte >= 0x80 && messageSizes[byte] != 0;
}

/* The range checks keep the symmetric form of the other ranges although the minimum is 0. */
#pragma GCC diagnostic ignored "-Wtype-limits"

uint8_t midilib_status_setChannelNumber(uint8_t *status, uint8_t channelNumber)
{
    assert(status);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    if (midilib_status_isChannelMessage(*status)) {
        *status = (uint8_t)((*status & 0xF0) | channelNumber);
    }
    return *status;
}

uint16_t midilib_uint14_make(uint8_t first, uint8_t second)
{
    return (uint16_t)(first + (second << 7));
}

uint8_t midilib_uint14_msb(uint16_t value)
{
    return (uint8_t)(value & 0x7F);
}

uint8_t midilib_uint14_lsb(uint16_t value)
{
    return (uint8_t)(value >> 7);
}
