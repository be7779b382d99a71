#include "midilib_messageBuff.h"

#include "midilib_status.h"

#include <assert.h>

/* The range checks keep the symmetric form "( x >= Min ) && ( x <= Max )" although every
 * minimum is 0 and the arguments are unsigned. */
#pragma GCC diagnostic ignored "-Wtype-limits"

void midilib_noteOffBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t velocity)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( noteNumber >= MIDILIB_NoteNumber_Min ) && ( noteNumber <= MIDILIB_NoteNumber_Max ));
    assert(( velocity >= MIDILIB_Velocity_Min ) && ( velocity <= MIDILIB_Velocity_Max ));
    data[0] = (uint8_t)(0x80 | channelNumber);
    data[1] = noteNumber;
    data[2] = velocity;
}

void midilib_noteOnBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t velocity)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( noteNumber >= MIDILIB_NoteNumber_Min ) && ( noteNumber <= MIDILIB_NoteNumber_Max ));
    assert(( velocity >= MIDILIB_Velocity_Min ) && ( velocity <= MIDILIB_Velocity_Max ));
    data[0] = (uint8_t)(0x90 | channelNumber);
    data[1] = noteNumber;
    data[2] = velocity;
}

void midilib_polyKeyPressureBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t noteNumber, uint8_t pressure)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( noteNumber >= MIDILIB_NoteNumber_Min ) && ( noteNumber <= MIDILIB_NoteNumber_Max ));
    assert(( pressure >= MIDILIB_KeyPressure_Min ) && ( pressure <= MIDILIB_Velocity_Max ));
    data[0] = (uint8_t)(0xA0 | channelNumber);
    data[1] = noteNumber;
    data[2] = pressure;
}

void midilib_controlChangeBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t controllerNumber, uint8_t value)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( controllerNumber >= MIDILIB_ControllerNumber_Min ) && ( controllerNumber <= MIDILIB_ControllerNumber_Max ));
    assert(( value >= MIDILIB_ControllerValue_Min ) && ( value <= MIDILIB_ControllerValue_Max ));
    data[0] = (uint8_t)(0xB0 | channelNumber);
    data[1] = controllerNumber;
    data[2] = value;
}

void midilib_programChangeBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t number)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( number >= MIDILIB_ProgramNumber_Min ) && ( number <= MIDILIB_ProgramNumber_Max ));
    data[0] = (uint8_t)(0xC0 | channelNumber);
    data[1] = number;
}

void midilib_channelKeyPressureBuff_init(uint8_t *data, uint8_t channelNumber, uint8_t pressure)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( pressure >= MIDILIB_KeyPressure_Min ) && ( pressure <= MIDILIB_Velocity_Max ));
    data[0] = (uint8_t)(0xD0 | channelNumber);
    data[1] = pressure;
}

void midilib_pitchBendData_init(uint8_t *data, uint8_t channelNumber, uint8_t msb, uint8_t lsb)
{
    assert(data);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    assert(( msb >= 0 ) && ( msb <= 0x7F ));
    assert(( lsb >= 0 ) && ( lsb <= 0x7F ));
    data[0] = (uint8_t)(0xE0 | channelNumber);
    data[1] = msb;
    data[2] = lsb;
}
