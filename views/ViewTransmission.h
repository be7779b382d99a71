#pragma once

// How a tool view sends what the user plays or sets: through the main window's transmit path,
// to both output ports, with the bulk interval waits.

// False when there is no main window or no port sent.
bool transmitFromView(const unsigned char* data, unsigned short size, unsigned char eventType);

// True while the main window reads a project file (false without a main window).
bool isOpeningProject();

// A channel voice status byte: the kind's high nibble with the channel (0-15) in the low one.
// Values read from a damaged file never make a status of another kind.
constexpr unsigned char channelStatus(unsigned char kind, int channel)
{
    return static_cast<unsigned char>((kind & 0xF0) | (channel < 0 ? 0 : (channel > 0x0F ? 0x0F : channel)));
}

// A data byte (0-127): out-of-range values are clamped rather than sent as status bytes.
constexpr unsigned char dataByte(int value)
{
    return static_cast<unsigned char>(value < 0 ? 0 : (value > 0x7F ? 0x7F : value));
}
