#pragma once

#include "small/MidiLibrary/midilib_parser.h"

#include <cstdint>

// Feeds one delivery of bytes to a parser and hands every complete event to handle, which
// returns false to stop early. Returns false when handle stopped the walk.
template <typename Handle>
bool parseDelivery(MIDILIB_Parser* parser, MIDILIB_Event* event, const std::uint8_t* bytes, std::uint64_t size,
                   Handle&& handle)
{
    midilib_parser_setData(parser, size > 0 ? bytes : nullptr, size);
    while (midilib_parser_parse(parser, event) == 0) {
        if (!handle(*event)) {
            return false;
        }
    }
    return true;
}
