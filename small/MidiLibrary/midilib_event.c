#include "midilib_event.h"

#include "midilib_messageBuff.h"

#include <assert.h>
#include <string.h>

int midilib_dataToEvent(const uint8_t *data, uint64_t length, MIDILIB_Event *event)
{
    assert(data);
    assert(event);
    if (length == 0) {
        return -1;
    }
    const uint8_t plain = midilib_status_plain(data[0]);
    const uint16_t size = midilib_status_messageSize(plain);
    if (size == 0) {
        return -1; /* a data byte, or a status byte that opens no message */
    }
    if (plain == 0xF0) {
        /* the event holds at most this much; more would not be one message of this library */
        if (length > MIDILIB_SystemExclusive_MaxSize) {
            return -1;
        }
        event->type = MIDILIB_Event_Type_SystemExclusive;
        event->channelNumber = MIDILIB_ChannelNumber_None;
        memcpy(event->payload.systemExclusive.bytes, data, (size_t)length);
        event->payload.systemExclusive.length = length;
        return 0;
    }
    if (length != size) {
        return -1;
    }
    /* A data value of 128 or more is no message, and could not be converted back. */
    for (uint64_t i = 1; i < length; ++i) {
        if (data[i] & 0x80) {
            return -1;
        }
    }

    event->channelNumber = midilib_status_getChannelNumber(data[0]);
    switch (plain) {
    case 0x80:
    case 0x90:
    case 0xA0:
    case 0xB0:
        event->type = (MIDILIB_Event_Type)((plain >> 4) - 8);
        event->payload.twoBytes.first = data[1];
        event->payload.twoBytes.second = data[2];
        break;
    case 0xC0:
    case 0xD0:
        event->type = (MIDILIB_Event_Type)((plain >> 4) - 8);
        event->payload.oneByte = data[1];
        break;
    case 0xE0:
        event->type = MIDILIB_Event_Type_PitchBend;
        event->payload.uint14 = midilib_uint14_make(data[1], data[2]);
        break;
    case 0xF1:
        event->type = MIDILIB_Event_Type_Mtc;
        event->payload.oneByte = data[1];
        break;
    case 0xF2:
        event->type = MIDILIB_Event_Type_SongPositionPointer;
        event->payload.uint14 = midilib_uint14_make(data[1], data[2]);
        break;
    case 0xF3:
        event->type = MIDILIB_Event_Type_SongSelect;
        event->payload.oneByte = data[1];
        break;
    case 0xF6:
        event->type = MIDILIB_Event_Type_TuneRequest;
        break;
    case 0xF8:
        event->type = MIDILIB_Event_Type_TimingClock;
        break;
    case 0xFA:
        event->type = MIDILIB_Event_Type_Start;
        break;
    case 0xFB:
        event->type = MIDILIB_Event_Type_Continue;
        break;
    case 0xFC:
        event->type = MIDILIB_Event_Type_Stop;
        break;
    case 0xFE:
        event->type = MIDILIB_Event_Type_ActiveSensing;
        break;
    default: /* 0xFF, the last status byte with a size */
        event->type = MIDILIB_Event_Type_SystemReset;
        break;
    }
    return 0;
}

static void noteOff_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[3];
    midilib_noteOffBuff_init(bytes, event->channelNumber, event->payload.twoBytes.first, event->payload.twoBytes.second);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void noteOn_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[3];
    midilib_noteOnBuff_init(bytes, event->channelNumber, event->payload.twoBytes.first, event->payload.twoBytes.second);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void polyKeyPressure_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[3];
    midilib_polyKeyPressureBuff_init(bytes, event->channelNumber, event->payload.twoBytes.first, event->payload.twoBytes.second);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void contolChange_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[3];
    midilib_controlChangeBuff_init(bytes, event->channelNumber, event->payload.twoBytes.first, event->payload.twoBytes.second);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void programChange_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[2];
    midilib_programChangeBuff_init(bytes, event->channelNumber, event->payload.oneByte);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void channelKeyPressure_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[2];
    midilib_channelKeyPressureBuff_init(bytes, event->channelNumber, event->payload.oneByte);
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void pitchBend_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    uint8_t bytes[3];
    midilib_pitchBendData_init(bytes, event->channelNumber, midilib_uint14_msb(event->payload.uint14),
                               midilib_uint14_lsb(event->payload.uint14));
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void systemExclusive_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    /* exactly what was received, 0xF0 and 0xF7 included */
    midilib_data_init(data, event->payload.systemExclusive.bytes, event->payload.systemExclusive.length, 1);
}

/* A system common message with one data byte. */
static void systemCommon_toData(uint8_t status, uint8_t dataByte, MIDILIB_Data *data)
{
    assert(dataByte <= 0x7F);
    const uint8_t bytes[2] = { status, dataByte };
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void mtc_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    systemCommon_toData(0xF1, event->payload.oneByte, data);
}

static void songPositionPointer_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    const uint16_t value = event->payload.uint14;
    assert(value <= MIDILIB_Uint14_Max);
    const uint8_t bytes[3] = { 0xF2, midilib_uint14_msb(value), midilib_uint14_lsb(value) };
    midilib_data_init(data, bytes, sizeof(bytes), 1);
}

static void songSelect_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(data);
    systemCommon_toData(0xF3, event->payload.oneByte, data);
}

static void statusOnly_toData(uint8_t status, MIDILIB_Data *data)
{
    midilib_data_init(data, &status, 1, 1);
}

static void tuneRequest_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xF6, data);
}

static void timingClock_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xF8, data);
}

static void start_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xFA, data);
}

static void continue_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xFB, data);
}

static void stop_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xFC, data);
}

static void activeSensing_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xFE, data);
}

static void systemReset_toData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    (void)event;
    assert(data);
    statusOnly_toData(0xFF, data);
}

typedef void (*ToDataFunction)(const MIDILIB_Event *event, MIDILIB_Data *data);

/* In event type order. */
static const ToDataFunction toDataFunctions[MIDILIB_Event_Type_Max + 1] = {
    noteOff_toData,       noteOn_toData,          polyKeyPressure_toData,
    contolChange_toData,  programChange_toData,   channelKeyPressure_toData,
    pitchBend_toData,     systemExclusive_toData, mtc_toData,
    songPositionPointer_toData, songSelect_toData, tuneRequest_toData,
    timingClock_toData,   start_toData,           continue_toData,
    stop_toData,          activeSensing_toData,   systemReset_toData,
};

void midilib_eventToData(const MIDILIB_Event *event, MIDILIB_Data *data)
{
    assert(event);
    if (event->type > MIDILIB_Event_Type_Max) {
        assert(0);
        return;
    }
    toDataFunctions[event->type](event, data);
}
