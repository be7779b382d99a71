#include "midilib_filter.h"

#include <assert.h>
#include <string.h>

/* The range checks keep the symmetric form "( x >= Min ) && ( x <= Max )" although every
 * minimum is 0 and the arguments are unsigned. */
#pragma GCC diagnostic ignored "-Wtype-limits"

void midilib_filter_init(MIDILIB_Filter *self)
{
    assert(self);
    memset(self, 0, sizeof(*self));
}

void midilib_filter_setThroughSwitch(MIDILIB_Filter *self, uint8_t on)
{
    assert(self);
    self->throughSwitch = on;
}

void midilib_filter_setChannelSwitch(MIDILIB_Filter *self, uint8_t channelNumber, uint8_t on)
{
    assert(self);
    assert(( channelNumber >= MIDILIB_ChannelNumber_Min ) && ( channelNumber <= MIDILIB_ChannelNumber_Max ));
    self->channelSwitch[channelNumber] = on;
}

void midilib_filter_setEventGroupSwitch(MIDILIB_Filter *self, uint8_t eventGroup, uint8_t on)
{
    assert(self);
    assert(( eventGroup >= MIDILIB_Filter_EventGroup_Min ) && ( eventGroup <= MIDILIB_Filter_EventGroup_Max ));
    self->eventGroupSwitch[eventGroup] = on;
}

void midilib_filter_setEventSwitch(MIDILIB_Filter *self, MIDILIB_Event_Type eventType, uint8_t on)
{
    assert(self);
    assert(( eventType >= MIDILIB_Event_Type_Min ) && ( eventType <= MIDILIB_Event_Type_Max ));
    self->eventSwitch[eventType] = on;
}

void midilib_filter_setControllerSwitch(MIDILIB_Filter *self, uint8_t controllerNumber, uint8_t on)
{
    assert(self);
    assert(( controllerNumber >= MIDILIB_ControllerNumber_Min ) && ( controllerNumber <= MIDILIB_ControllerNumber_Max ));
    self->controllerSwitch[controllerNumber] = on;
}

static int applyToChannelMessage(const MIDILIB_Filter *self, const MIDILIB_Event *event)
{
    /* an event that no parser could produce has no switch to look up: block it */
    if (event->channelNumber > MIDILIB_ChannelNumber_Max) {
        return -1;
    }
    if (self->eventGroupSwitch[MIDILIB_Filter_EventGroup_Channel] || self->channelSwitch[event->channelNumber]) {
        return -1;
    }
    MIDILIB_Event_Type effectiveType = event->type;
    if (event->type == MIDILIB_Event_Type_NoteOn && event->payload.twoBytes.second == 0) {
        effectiveType = MIDILIB_Event_Type_NoteOff;
    }
    if (self->eventSwitch[effectiveType]) {
        return -1;
    }
    if (event->type == MIDILIB_Event_Type_ControlChange) {
        const uint8_t controllerNumber = event->payload.twoBytes.first;
        if (controllerNumber > MIDILIB_ControllerNumber_Max || self->controllerSwitch[controllerNumber]) {
            return -1;
        }
    }
    return 0;
}

static int applyToSystemMessage(const MIDILIB_Filter *self, const MIDILIB_Event *event, uint8_t eventGroup)
{
    if (self->eventGroupSwitch[eventGroup] || self->eventSwitch[event->type]) {
        return -1;
    }
    return 0;
}

int midilib_filter_apply(const MIDILIB_Filter *self, const MIDILIB_Event *event)
{
    assert(self);
    assert(event);
    if (self->throughSwitch || event->type > MIDILIB_Event_Type_Max) {
        return -1;
    }
    if (event->type <= MIDILIB_Event_Type_PitchBend) {
        return applyToChannelMessage(self, event);
    }
    if (event->type == MIDILIB_Event_Type_SystemExclusive) {
        return applyToSystemMessage(self, event, MIDILIB_Filter_EventGroup_SystemExclusive);
    }
    if (event->type <= MIDILIB_Event_Type_TuneRequest) {
        return applyToSystemMessage(self, event, MIDILIB_Filter_EventGroup_SystemCommon);
    }
    return applyToSystemMessage(self, event, MIDILIB_Filter_EventGroup_SystemRealtime);
}
