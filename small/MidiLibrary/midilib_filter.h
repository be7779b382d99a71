#ifndef MIDILIB_FILTER_H
#define MIDILIB_FILTER_H

#include "midilib_event.h"
#include "midilib_status.h"

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Event groups, the indices of the group switches. */
enum {
    MIDILIB_Filter_EventGroup_Channel = 0,        /* event types 0 to 6 */
    MIDILIB_Filter_EventGroup_SystemCommon = 1,   /* types 8 to 11 */
    MIDILIB_Filter_EventGroup_SystemRealtime = 2, /* types 12 to 17 */
    MIDILIB_Filter_EventGroup_SystemExclusive = 3, /* type 7 */
    MIDILIB_Filter_EventGroup_Min = MIDILIB_Filter_EventGroup_Channel,
    MIDILIB_Filter_EventGroup_Max = MIDILIB_Filter_EventGroup_SystemExclusive
};

/* Switches that block received events: 0 passes, any other value blocks. */
typedef struct MIDILIB_Filter {
    /* blocks every event */
    uint8_t throughSwitch;
    uint8_t channelSwitch[MIDILIB_ChannelNumber_Max + 1];
    uint8_t eventGroupSwitch[MIDILIB_Filter_EventGroup_Max + 1];
    uint8_t eventSwitch[MIDILIB_Event_Type_Max + 1];
    uint8_t controllerSwitch[MIDILIB_ControllerNumber_Max + 1];
} MIDILIB_Filter;

/* Every switch off: everything passes. */
void midilib_filter_init(MIDILIB_Filter *self);
void midilib_filter_setThroughSwitch(MIDILIB_Filter *self, uint8_t on);
void midilib_filter_setChannelSwitch(MIDILIB_Filter *self, uint8_t channelNumber, uint8_t on);
void midilib_filter_setEventGroupSwitch(MIDILIB_Filter *self, uint8_t eventGroup, uint8_t on);
void midilib_filter_setEventSwitch(MIDILIB_Filter *self, MIDILIB_Event_Type eventType, uint8_t on);
void midilib_filter_setControllerSwitch(MIDILIB_Filter *self, uint8_t controllerNumber, uint8_t on);
/* 0 when the event passes, -1 when it is blocked. A note-on with velocity 0 counts as a note-off
 * for the event switches; the event itself is not changed. */
int midilib_filter_apply(const MIDILIB_Filter *self, const MIDILIB_Event *event);

#ifdef __cplusplus
}
#endif

#endif
