#pragma once

// Which input port a received chunk came from.
enum InputPortGroup : unsigned int {
    InputPortGroupFirst = 0,
    InputPortGroupSecond = 1,
};

// Where a message goes: the first output port, the second, or both.
enum OutputPortGroup : unsigned int {
    OutputPortGroupFirst = 0,
    OutputPortGroupSecond = 1,
    OutputPortGroupBoth = 2,
};

// The program's single transmit path, as the engine sees it. The main window implements it:
// it lets the bulk interval manager wait before and after the message unless skipBulkWait is
// set, sends on the output port(s) of the group and records every successful send in the
// analyzer. It is called from the GUI thread, the delivery threads (thru) and the transmitter
// threads, so an implementation must be safe to enter from any of them.
class MidiTransmitterIF {
public:
    virtual ~MidiTransmitterIF() = default;

    // True when the message went out on at least one port. eventType is the monitor message
    // type (the message library's event type, or 20 for unparsed bytes). The last argument is
    // accepted and ignored.
    virtual bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char eventType,
                              OutputPortGroup group, bool skipBulkWait, bool unused = false) = 0;
};
