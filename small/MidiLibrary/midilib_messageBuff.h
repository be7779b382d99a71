#ifndef MIDILIB_MESSAGEBUFF_H
#define MIDILIB_MESSAGEBUFF_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Each writes one complete channel message into data (3 bytes, or 2 for program change and
 * channel key pressure). Channel 0 to 15, every value 0 to 127. */
void midilib_noteOffBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t velocity);
void midilib_noteOnBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t velocity);
void midilib_polyKeyPressureBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t pressure);
void midilib_controlChangeBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t controllerNumber, uint8_t value);
void midilib_programChangeBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t number);
void midilib_channelKeyPressureBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t pressure);
/* msb: the first data byte (low seven bits), lsb: the second (high seven bits). */
void midilib_pitchBendData_init(uint8_t *data, uint8_t channelNumber, uint8_t msb, uint8_t lsb);

#ifdef __cplusplus
}
#endif

#endif
