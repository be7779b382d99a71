#pragma once

// The 128 controller names, index = controller number: the filter keys of the settings file
// and the entries of the control change menu.
extern const char* const ControlChangeNameList[128];
