// The JACK path of the program: a message from a peer client through the program's input port,
// the delivery thread and a callback that sends it straight back out, to the peer again.
//   BM_JackAddedLatency: what that path adds to a direct connection, over 1,000 messages sent one
//     per period. The peer's output feeds the program and one of its own inputs at once, so every
//     message is timed both ways in the same cycles: a stall of the server (an xrun moves JACK's
//     frame time on by the time lost) delays both alike instead of landing on one side only.
//     Counters: added periods and microseconds (median, max), the direct path's periods, and the
//     turnaround from the start of the sending cycle until the echo was queued to go out, which
//     must stay under a period plus the program's place in the next cycle.
//   BM_JackSustainedRate/N: N messages per period for up to two seconds of server time; the rate
//     from the first message out to the last one back, and how many were lost or came back out of
//     order (both must stay 0). 4096 is more than one cycle's JACK MIDI buffer takes, so the peer
//     sends what fits and the rate shows the ceiling of the path.
#include "testkit/JackTestServer.h"
#include "midi/MidiConstants.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/jack/JackMidiService.h"

#include <benchmark/benchmark.h>

#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

namespace {
constexpr int MaxMessages = 1 << 18;
constexpr int Period = 256;
constexpr int SampleRate = 48000;

JackTestServer& server()
{
    static JackTestServer instance;
    if (!instance.isRunning()) {
        instance.start();
    }
    return instance;
}

int indexOf(const unsigned char* message)
{
    return message[1] | (message[2] << 7) | ((message[0] & 0x0F) << 14);
}

// When a message was seen: JACK's frame time in periods and the moment the peer's cycle ran.
struct Moment {
    std::uint64_t period = 0;
    std::uint64_t micros = 0;
};

// Sends numbered note-ons (the number in the channel and the two data bytes) a fixed count per
// period on "out", and notes the cycle in which each went out and came back on "in" (through the
// program) and "direct" (straight from "out"). Its process callback only counts and copies.
class Peer {
public:
    Peer()
        : m_sent(MaxMessages), m_through(MaxMessages), m_direct(MaxMessages)
    {
        m_client = jack_client_open("bench-peer", JackNoStartServer, nullptr);
        if (!m_client) {
            return;
        }
        m_out = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        m_in = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        m_directIn = jack_port_register(m_client, "direct", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(m_client, &Peer::process, this);
        jack_set_xrun_callback(m_client, &Peer::xrun, this);
        jack_activate(m_client);
    }
    ~Peer()
    {
        if (m_client) {
            jack_deactivate(m_client);
            jack_client_close(m_client);
        }
    }

    bool isOpen() const { return m_client != nullptr; }
    const char* outName() const { return jack_port_name(m_out); }
    const char* inName() const { return jack_port_name(m_in); }
    bool connectDirect() { return jack_connect(m_client, outName(), jack_port_name(m_directIn)) == 0; }

    // Sends count messages, perPeriod in each period, and waits until they are back or nothing
    // has come back for a while.
    void run(int count, int perPeriod)
    {
        m_received.store(0);
        m_disorder.store(0);
        m_xruns.store(0);
        m_nextExpected = 0;
        m_perPeriod.store(perPeriod);
        m_limit.store(count);
        m_next.store(0, std::memory_order_release);
        int last = -1;
        auto lastProgress = std::chrono::steady_clock::now();
        while (m_received.load() < count) {
            const int now = m_received.load();
            if (now != last || m_next.load() < count) {
                last = now;
                lastProgress = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - lastProgress > std::chrono::seconds(3)) {
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        m_limit.store(0);
    }
    int received() const { return m_received.load(std::memory_order_acquire); }
    int disorder() const { return m_disorder.load(); }
    int xruns() const { return m_xruns.load(); }
    const Moment& sent(int index) const { return m_sent[index]; }
    const Moment& through(int index) const { return m_through[index]; }
    const Moment& direct(int index) const { return m_direct[index]; }

private:
    static int xrun(void* arg)
    {
        static_cast<Peer*>(arg)->m_xruns.fetch_add(1);
        return 0;
    }

    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Peer*>(arg);
        const Moment now{jack_last_frame_time(self->m_client) / Period, jack_get_time()};
        void* direct = jack_port_get_buffer(self->m_directIn, frames);
        for (jack_nframes_t i = 0, n = jack_midi_get_event_count(direct); i < n; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, direct, i) == 0 && event.size == 3) {
                self->m_direct[indexOf(event.buffer)] = now;
            }
        }
        void* in = jack_port_get_buffer(self->m_in, frames);
        for (jack_nframes_t i = 0, n = jack_midi_get_event_count(in); i < n; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, i) != 0 || event.size != 3 || (event.buffer[0] & 0xF0) != 0x90) {
                continue;
            }
            const int index = indexOf(event.buffer);
            self->m_through[index] = now;
            if (index != self->m_nextExpected) {
                self->m_disorder.fetch_add(1);
            }
            self->m_nextExpected = index + 1;
            self->m_received.fetch_add(1, std::memory_order_release);
        }
        void* out = jack_port_get_buffer(self->m_out, frames);
        jack_midi_clear_buffer(out);
        const int limit = self->m_limit.load();
        int next = self->m_next.load(std::memory_order_acquire);
        for (int k = 0; k < self->m_perPeriod.load() && next < limit; ++k, ++next) {
            const jack_midi_data_t message[3] = {jack_midi_data_t(0x90 | (next >> 14)), jack_midi_data_t(next & 0x7F),
                                                 jack_midi_data_t((next >> 7) & 0x7F)};
            if (jack_midi_event_write(out, 0, message, 3) != 0) {
                break;
            }
            self->m_sent[next] = now;
        }
        self->m_next.store(next, std::memory_order_release);
        return 0;
    }

    jack_client_t* m_client = nullptr;
    jack_port_t* m_out = nullptr;
    jack_port_t* m_in = nullptr;
    jack_port_t* m_directIn = nullptr;
    std::vector<Moment> m_sent;
    std::vector<Moment> m_through;
    std::vector<Moment> m_direct;
    std::atomic<int> m_perPeriod{0};
    std::atomic<int> m_limit{0};
    std::atomic<int> m_next{0};
    std::atomic<int> m_received{0};
    std::atomic<int> m_disorder{0};
    std::atomic<int> m_xruns{0};
    int m_nextExpected = 0;
};

// The program's side: both ports on the JACK service, and a receive callback that sends every
// message straight back out and notes when it did.
struct Program {
    JackMidiService service{QStringLiteral("Tulvar MIDI")};
    MidiClient client{service};
    MidiInputPort input{&client, MaxMidiMessageLength, 0, 0, 0};
    MidiOutputPort output{&client, MaxMidiMessageLength, 0, 0, 0};
    std::vector<std::uint64_t> echoedMicros = std::vector<std::uint64_t>(MaxMessages);

    static void echo(void* context, const unsigned char* data, unsigned short length, unsigned int, unsigned int)
    {
        auto* self = static_cast<Program*>(context);
        unsigned int timeStamp = 0;
        self->output.transmitMidi(data, length, timeStamp);
        if (length == 3) {
            self->echoedMicros[indexOf(data)] = jack_get_time();
        }
    }

    bool connect(const Peer& peer)
    {
        input.setReceivedMidiCallbackFunc(&Program::echo, this);
        input.getInputPortNameList();
        output.getOutputPortNameList();
        return input.openInputPort(QString::fromUtf8(peer.outName())) == 0 &&
               output.openOutputPort(QString::fromUtf8(peer.inName())) == 0;
    }
};

// A few messages first settle the connections.
void warmUp(Peer& peer)
{
    peer.run(8, 1);
}

template <typename T>
T median(std::vector<T> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values[values.size() / 2];
}

void BM_JackAddedLatency(benchmark::State& state)
{
    if (!server().isRunning()) {
        state.SkipWithError("jackd did not start");
        return;
    }
    constexpr int Messages = 1000;
    for (auto _ : state) {
        Peer peer;
        Program program;
        if (!peer.isOpen() || !peer.connectDirect() || !program.connect(peer)) {
            state.SkipWithError("the ports did not open");
            return;
        }
        warmUp(peer);
        peer.run(Messages, 1);
        std::vector<long long> addedPeriods;
        std::vector<long long> addedMicros;
        std::vector<long long> turnaroundMicros;
        long long directMax = 0;
        for (int i = 0; i < Messages; ++i) {
            const Moment& sent = peer.sent(i);
            const Moment& direct = peer.direct(i);
            const Moment& through = peer.through(i);
            if (through.micros == 0 || direct.micros == 0) {
                continue;
            }
            directMax = std::max(directMax, (long long)(direct.period - sent.period));
            addedPeriods.push_back((long long)(through.period - direct.period));
            addedMicros.push_back((long long)(through.micros - direct.micros));
            turnaroundMicros.push_back((long long)(program.echoedMicros[i] - sent.micros));
        }
        if (addedPeriods.empty()) {
            state.SkipWithError("nothing came back");
            return;
        }
        state.counters["added_median_periods"] = double(median(addedPeriods));
        state.counters["added_max_periods"] = double(*std::max_element(addedPeriods.begin(), addedPeriods.end()));
        state.counters["added_median_us"] = double(median(addedMicros));
        state.counters["added_max_us"] = double(*std::max_element(addedMicros.begin(), addedMicros.end()));
        state.counters["direct_max_periods"] = double(directMax);
        state.counters["turnaround_median_us"] = double(median(turnaroundMicros));
        state.counters["turnaround_max_us"] = double(*std::max_element(turnaroundMicros.begin(), turnaroundMicros.end()));
        state.counters["lost"] = double(Messages - peer.received());
        state.counters["xruns"] = double(peer.xruns());
    }
}
BENCHMARK(BM_JackAddedLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JackSustainedRate(benchmark::State& state)
{
    if (!server().isRunning()) {
        state.SkipWithError("jackd did not start");
        return;
    }
    const int perPeriod = int(state.range(0));
    // Two seconds of server time, within the numbering of the messages.
    const int messages = std::min(MaxMessages, perPeriod * SampleRate * 2 / Period);
    for (auto _ : state) {
        Peer peer;
        Program program;
        if (!peer.isOpen() || !program.connect(peer)) {
            state.SkipWithError("the ports did not open");
            return;
        }
        warmUp(peer);
        peer.run(messages, perPeriod);
        // From the period the first went out to the one the last came back in.
        const int last = messages - 1;
        const double periods = double(peer.through(last).period - peer.sent(0).period + 1);
        state.counters["messages_per_second"] = double(peer.received()) / (periods * Period / SampleRate);
        state.counters["lost"] = double(messages - peer.received());
        state.counters["input_overruns"] = double(program.service.receivedOverruns());
        state.counters["out_of_order"] = double(peer.disorder());
        state.counters["xruns"] = double(peer.xruns());
    }
}
BENCHMARK(BM_JackSustainedRate)->Arg(1)->Arg(32)->Arg(128)->Arg(512)->Arg(1024)->Arg(2048)->Arg(4096)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
