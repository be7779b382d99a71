// The parser's throughput on realistic input, beside memcpy of the same bytes.
//
// The mixed stream is what a workbench sees while a device plays and dumps: notes and controllers
// in running status, pitch bend, timing clock bytes interleaved everywhere (inside messages too),
// and system exclusive dumps of a few KiB. It is parsed in deliveries of 256 bytes, as the port
// layer hands them over. A second stream without dumps shows the cost of short messages alone.
#include "small/MidiLibrary/midilib_parser.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

namespace {

const size_t StreamSize = 1 << 20;
const size_t DeliverySize = 256;

class StreamBuilder
{
public:
    explicit StreamBuilder(bool withDumps) : m_withDumps(withDumps), m_random(1206) {}

    std::vector<uint8_t> build()
    {
        while (m_bytes.size() < StreamSize) {
            switch (below(m_withDumps ? 10 : 9)) {
            case 0:
            case 1:
            case 2:
            case 3:
                notes();
                break;
            case 4:
            case 5:
                controllers();
                break;
            case 6:
                message({ uint8_t(0xE0 | below(16)), data(), data() });
                break;
            case 7:
                message({ uint8_t(0xC0 | below(16)), data() });
                break;
            case 8:
                message({ 0xFE });
                break;
            default:
                dump();
                break;
            }
        }
        m_bytes.resize(StreamSize);
        return m_bytes;
    }

private:
    int below(int limit) { return std::uniform_int_distribution<int>(0, limit - 1)(m_random); }
    uint8_t data() { return uint8_t(below(128)); }

    // A byte of the stream; every 24th or so is preceded by a timing clock wherever it falls.
    void put(uint8_t byte)
    {
        if (++m_sinceClock >= 24) {
            m_bytes.push_back(0xF8);
            m_sinceClock = 0;
        }
        m_bytes.push_back(byte);
    }

    void message(std::initializer_list<uint8_t> bytes)
    {
        for (uint8_t byte : bytes) {
            put(byte);
        }
    }

    // A chord struck and released in running status, releases as note-on with velocity 0.
    void notes()
    {
        put(uint8_t(0x90 | below(16)));
        const int count = 2 + below(6);
        for (int i = 0; i < 2 * count; ++i) {
            put(data());
            put(i < count ? uint8_t(1 + below(127)) : uint8_t(0));
        }
    }

    // A controller sweep in running status.
    void controllers()
    {
        put(uint8_t(0xB0 | below(16)));
        const uint8_t controller = data();
        for (int i = 0, count = 4 + below(20); i < count; ++i) {
            put(controller);
            put(data());
        }
    }

    void dump()
    {
        put(0xF0);
        for (int i = 0, length = 1024 + below(7 * 1024); i < length; ++i) {
            put(data());
        }
        put(0xF7);
    }

    const bool m_withDumps;
    std::mt19937 m_random;
    std::vector<uint8_t> m_bytes;
    int m_sinceClock = 0;
};

const std::vector<uint8_t> &mixedStream()
{
    static const std::vector<uint8_t> stream = StreamBuilder(true).build();
    return stream;
}

const std::vector<uint8_t> &shortMessageStream()
{
    static const std::vector<uint8_t> stream = StreamBuilder(false).build();
    return stream;
}

void parseStream(benchmark::State &state, const std::vector<uint8_t> &stream)
{
    auto parser = std::make_unique<MIDILIB_Parser>();
    auto event = std::make_unique<MIDILIB_Event>();
    midilib_parser_init(parser.get());
    uint64_t events = 0;
    for (auto _ : state) {
        for (size_t start = 0; start < stream.size(); start += DeliverySize) {
            midilib_parser_setData(parser.get(), stream.data() + start, std::min(DeliverySize, stream.size() - start));
            while (midilib_parser_parse(parser.get(), event.get()) == 0) {
                benchmark::DoNotOptimize(event->type);
                ++events;
            }
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
    state.counters["events"] = benchmark::Counter(double(events), benchmark::Counter::kIsRate);
}

void BM_ParserMixedStream(benchmark::State &state)
{
    parseStream(state, mixedStream());
}

void BM_ParserShortMessages(benchmark::State &state)
{
    parseStream(state, shortMessageStream());
}

void BM_MemcpySameBytes(benchmark::State &state)
{
    const std::vector<uint8_t> &stream = mixedStream();
    std::vector<uint8_t> copy(stream.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), stream.data(), stream.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(stream.size()));
}

} // namespace

BENCHMARK(BM_ParserMixedStream);
BENCHMARK(BM_ParserShortMessages);
BENCHMARK(BM_MemcpySameBytes);

BENCHMARK_MAIN();
