// The parser and both conversions on arbitrary bytes. Input layout: byte 0 seeds where the stream
// is cut into deliveries, byte 1 from 0xC0 up says that the bytes after byte 2 are repeated (so
// that small inputs reach exclusives of 16384 bytes and more), and byte 2 onwards is the stream;
// the whole input is also handed to the bytes-to-event conversion as one message.
//
// Checked: no precondition fires, every event converts back to a well-formed message that
// converts to the same event, and cutting the stream differently never changes the messages
// unless an exclusive overflowed (the rest of that delivery is dropped by design).
#include "small/MidiLibrary/midilib_data.h"
#include "small/MidiLibrary/midilib_event.h"
#include "small/MidiLibrary/midilib_parser.h"
#include "testkit/MidiMessageRules.h"

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Messages one after another, each preceded by its length in four bytes: one buffer, so that
// two parses compare with one comparison and without an allocation per message.
using Messages = std::vector<uint8_t>;

void check(bool condition)
{
    if (!condition) {
        abort();
    }
}

struct Scratch
{
    MIDILIB_Parser parser;
    MIDILIB_Event event;
    MIDILIB_Event again;
    MIDILIB_Data data;
    MIDILIB_Data dataAgain;
};

Scratch &scratch()
{
    static Scratch *s = new Scratch;
    return *s;
}

// Converts the event to bytes and checks that they convert to the same event; the bytes are left
// in scratch().data.
void convertBack(const MIDILIB_Event &event)
{
    Scratch &s = scratch();
    midilib_eventToData(&event, &s.data);
    const uint8_t *bytes = midilib_data_getMemory(&s.data);
    const uint64_t size = midilib_data_getSize(&s.data);
    check(midilib_dataToEvent(bytes, size, &s.again) == 0);
    midilib_eventToData(&s.again, &s.dataAgain);
    check(midilib_data_getSize(&s.dataAgain) == size);
    check(std::memcmp(midilib_data_getMemory(&s.dataAgain), bytes, size_t(size)) == 0);
}

bool exclusiveFull(const MIDILIB_Parser &parser)
{
    return smlib_data_getSize(&parser.messageWriter) == uint64_t(midirules::LargestExclusive) &&
           smlib_data_tell(&parser.messageWriter) == uint64_t(midirules::LargestExclusive);
}

// Parses the stream in deliveries whose lengths come from the seed (0: all at once). Sets
// overflowed when an exclusive filled up without 0xF7.
void parse(const std::vector<uint8_t> &stream, uint32_t seed, Messages &messages, bool &overflowed)
{
    Scratch &s = scratch();
    midilib_parser_init(&s.parser);
    messages.clear();
    size_t start = 0;
    uint32_t state = seed * 2654435761u + 1u;
    while (start < stream.size()) {
        size_t length = stream.size() - start;
        if (seed != 0) {
            state = state * 1103515245u + 12345u;
            length = std::min<size_t>(length, (state >> 16) % 97);
        }
        midilib_parser_setData(&s.parser, stream.data() + start, length);
        while (midilib_parser_parse(&s.parser, &s.event) == 0) {
            convertBack(s.event);
            const uint8_t *bytes = midilib_data_getMemory(&s.data);
            const uint32_t size = uint32_t(midilib_data_getSize(&s.data));
            check(midirules::isWellFormed(bytes, size));
            const uint8_t *sizeBytes = reinterpret_cast<const uint8_t *>(&size);
            messages.insert(messages.end(), sizeBytes, sizeBytes + sizeof(size));
            messages.insert(messages.end(), bytes, bytes + size);
        }
        overflowed = overflowed || exclusiveFull(s.parser);
        start += length;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Scratch &s = scratch();
    // Taken as one message, the bytes either are refused or come back unchanged (an exclusive is
    // taken as given; only the parser's output must also be well-formed).
    if (size > 0 && midilib_dataToEvent(data, size, &s.event) == 0) {
        convertBack(s.event);
        check(midilib_data_getSize(&s.data) == size && std::memcmp(midilib_data_getMemory(&s.data), data, size) == 0);
    }
    if (size < 3) {
        return 0;
    }

    const uint32_t seed = data[0];
    const int repeats = data[1] < 0xC0 ? 1 : 1 + (data[1] & 0x3F) * 8;
    // Buffers that outlive the run: no allocation per run keeps libFuzzer's leak check quiet.
    static std::vector<uint8_t> stream;
    static Messages whole;
    static Messages cut;
    stream.assign(1, data[2]);
    // Long enough for an overflowing exclusive, short enough to keep the runs quick.
    const size_t longestStream = midirules::LargestExclusive + 1024;
    for (int i = 0; i < repeats && stream.size() < longestStream; ++i) {
        stream.insert(stream.end(), data + 3, data + size);
    }

    bool overflowed = false;
    parse(stream, 0, whole, overflowed);
    parse(stream, seed + 1, cut, overflowed);
    if (!overflowed) {
        check(whole == cut);
    }
    return 0;
}
