// The analyzer's receive path on realistic traffic: parse, filter, rebuild the bytes and format
// the monitor line with time and detail on, texts taken out as the main window's timer does.
#include "engine/MidiAnalyzer.h"
#include "model/TulvarMidiModel.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// One delivery per message, as the MIDI services hand them over: notes, controllers, pitch bend,
// clock and active sensing, with a short system exclusive now and then.
std::vector<std::vector<unsigned char>> makeTraffic()
{
    std::vector<std::vector<unsigned char>> traffic;
    for (int i = 0; i < 1000; ++i) {
        const auto note = static_cast<unsigned char>(36 + i % 48);
        const auto channel = static_cast<unsigned char>(i % 4);
        switch (i % 10) {
        case 0:
        case 1:
            traffic.push_back({static_cast<unsigned char>(0x90 | channel), note, 100});
            break;
        case 2:
        case 3:
            traffic.push_back({static_cast<unsigned char>(0x80 | channel), note, 0});
            break;
        case 4:
            traffic.push_back({static_cast<unsigned char>(0xB0 | channel), static_cast<unsigned char>(i % 120), 64});
            break;
        case 5:
            traffic.push_back({static_cast<unsigned char>(0xE0 | channel), 0, static_cast<unsigned char>(i % 128)});
            break;
        case 6:
        case 7:
            traffic.push_back({0xF8});
            break;
        case 8:
            traffic.push_back({0xFE});
            break;
        default:
            if (i % 100 == 9) {
                std::vector<unsigned char> dump = {0xF0, 0x43, 0x10, 0x4C};
                dump.insert(dump.end(), 24, static_cast<unsigned char>(i % 128));
                dump.push_back(0xF7);
                traffic.push_back(dump);
            } else {
                traffic.push_back({static_cast<unsigned char>(0xD0 | channel), 40});
            }
            break;
        }
    }
    return traffic;
}

void BM_AnalyzerReceivePath(benchmark::State& state)
{
    TulvarMidiModel model;
    model.setModelIntValue(TimeStampParameterId, 1);
    model.setModelIntValue(MessageDetailParameterId, 1);
    MidiAnalyzer analyzer(&model, nullptr);
    const auto traffic = makeTraffic();
    QByteArray received, systemExclusive, transmitted;
    std::uint32_t receivedCount = 0, systemExclusiveCount = 0, transmittedCount = 0;
    std::uint32_t timeStamp = 3723004;
    for (auto _ : state) {
        for (const auto& message : traffic) {
            analyzer.receivedMidi(message.data(), static_cast<unsigned short>(message.size()), timeStamp++, 0);
        }
        analyzer.getMidiData(received, receivedCount, systemExclusive, systemExclusiveCount, transmitted,
                             transmittedCount);
        benchmark::DoNotOptimize(received.data());
    }
    state.SetItemsProcessed(state.iterations() * std::int64_t(traffic.size()));
}

} // namespace

BENCHMARK(BM_AnalyzerReceivePath);
BENCHMARK_MAIN();
