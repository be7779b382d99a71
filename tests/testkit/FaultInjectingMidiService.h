#pragma once

#include "midi/loopback/LoopbackMidiService.h"

// The Loopback service is the test double of the layers above the service.
using FaultInjectingMidiService = LoopbackMidiService;
