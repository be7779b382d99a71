// Throughput of received-data delivery: packets written into an input port's ring by one thread
// and handed to the receive callback on the delivery thread; and a whole output-to-input round
// trip through the Loopback service.
#include "midi/MidiConstants.h"
#include "midi/MidiDataTransmissionThread.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/loopback/LoopbackMidiService.h"

#include <benchmark/benchmark.h>

#include <condition_variable>
#include <mutex>
#include <vector>

namespace {

class Counter {
public:
    static void callback(void* context, const unsigned char*, unsigned short, unsigned int, unsigned int)
    {
        auto* self = static_cast<Counter*>(context);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        ++self->m_count;
        self->m_condition.notify_all();
    }

    void waitFor(long long count)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_condition.wait(lock, [&] { return m_count >= count; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_condition;
    long long m_count = 0;
};

void BM_DeliveryThroughput(benchmark::State& state)
{
    const auto length = static_cast<unsigned short>(state.range(0));
    std::vector<unsigned char> packet(length, 0x42);
    Counter counter;
    MidiDataTransmissionThread thread(nullptr, MaxMidiMessageLength + RecordOverheadSize, 0);
    thread.setReceivedMidiCallbackFunc(&Counter::callback, &counter);
    long long written = 0;
    for (auto _ : state) {
        thread.writeData(packet.data(), length, 0);
        ++written;
    }
    counter.waitFor(written);
    state.SetItemsProcessed(written);
    state.SetBytesProcessed(written * length);
}
BENCHMARK(BM_DeliveryThroughput)->Arg(3)->Arg(256)->Arg(MaxMidiMessageLength)->UseRealTime();

void BM_LoopbackRoundTrip(benchmark::State& state)
{
    const auto length = static_cast<unsigned short>(state.range(0));
    std::vector<unsigned char> message(length, 0x10);
    LoopbackMidiService service;
    MidiClient client(service);
    MidiInputPort input(&client, MaxMidiMessageLength, 0, 0, 0);
    MidiOutputPort output(&client, MaxMidiMessageLength, 0, 0, 0);
    Counter counter;
    input.setReceivedMidiCallbackFunc(&Counter::callback, &counter);
    input.getInputPortNameList();
    output.getOutputPortNameList();
    input.openInputPort(0u);
    output.openOutputPort(0u);
    long long sent = 0;
    for (auto _ : state) {
        unsigned int timeStamp = 0;
        output.transmitMidi(message.data(), length, timeStamp);
        counter.waitFor(++sent);
    }
    state.SetItemsProcessed(sent);
}
BENCHMARK(BM_LoopbackRoundTrip)->Arg(3)->Arg(MaxMidiMessageLength)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
