// The JACK path of the program: a message from a peer client through the program's input port,
// the delivery thread and a callback that sends it straight back out, to the peer again.
//   BM_JackAddedLatency: the most JACK periods that path adds to a direct connection between the
//     peer's own ports, over 1,000 messages sent one per period.
//   BM_JackSustainedRate/N: N messages per period for up to two seconds of server time; the rate
//     from the first message out to the last one back, and how many were lost or came back out of
//     order (both must stay 0).
#include "JackTestServer.h"
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

JackTestServer& server()
{
    static JackTestServer instance;
    if (!instance.isRunning()) {
        instance.start();
    }
    return instance;
}

// Sends numbered note-ons (the number in the channel and the two data bytes) a fixed count per period, and notes
// the period in which each went out and came back. Its process callback only counts and copies.
class Peer {
public:
    Peer()
        : m_sentIn(MaxMessages), m_receivedIn(MaxMessages)
    {
        m_client = jack_client_open("bench-peer", JackNoStartServer, nullptr);
        if (!m_client) {
            return;
        }
        m_out = jack_port_register(m_client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        m_in = jack_port_register(m_client, "in", JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
        jack_set_process_callback(m_client, &Peer::process, this);
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
    jack_client_t* client() const { return m_client; }
    const char* outName() const { return jack_port_name(m_out); }
    const char* inName() const { return jack_port_name(m_in); }

    // Sends count messages, perPeriod in each period, and waits until they are back or nothing
    // has come back for a while.
    void run(int count, int perPeriod)
    {
        m_received.store(0);
        m_disorder.store(0);
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
    long long latency(int index) const { return (long long)(m_receivedIn[index] - m_sentIn[index]); }
    std::uint64_t sentPeriod(int index) const { return m_sentIn[index]; }

private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Peer*>(arg);
        const std::uint64_t period = jack_last_frame_time(self->m_client) / Period;
        void* in = jack_port_get_buffer(self->m_in, frames);
        for (jack_nframes_t i = 0, n = jack_midi_get_event_count(in); i < n; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, i) != 0 || event.size != 3 || (event.buffer[0] & 0xF0) != 0x90) {
                continue;
            }
            const int index = event.buffer[1] | (event.buffer[2] << 7) | ((event.buffer[0] & 0x0F) << 14);
            self->m_receivedIn[index] = period;
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
            self->m_sentIn[next] = period;
        }
        self->m_next.store(next, std::memory_order_release);
        return 0;
    }

    jack_client_t* m_client = nullptr;
    jack_port_t* m_out = nullptr;
    jack_port_t* m_in = nullptr;
    std::vector<std::uint64_t> m_sentIn;
    std::vector<std::uint64_t> m_receivedIn;
    std::atomic<int> m_perPeriod{0};
    std::atomic<int> m_limit{0};
    std::atomic<int> m_next{0};
    std::atomic<int> m_received{0};
    std::atomic<int> m_disorder{0};
    int m_nextExpected = 0;
};

// The program's side: both ports on the JACK service, and a receive callback that sends every
// message straight back out.
struct Program {
    JackMidiService service{QStringLiteral("Tulvar MIDI")};
    MidiClient client{service};
    MidiInputPort input{&client, MaxMidiMessageLength, 0, 0, 0};
    MidiOutputPort output{&client, MaxMidiMessageLength, 0, 0, 0};

    static void echo(void* context, const unsigned char* data, unsigned short length, unsigned int, unsigned int)
    {
        unsigned int timeStamp = 0;
        static_cast<Program*>(context)->output.transmitMidi(data, length, timeStamp);
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

// Whichever way the peer is connected, a few messages first settle the connections.
void warmUp(Peer& peer)
{
    peer.run(8, 1);
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
        jack_connect(peer.client(), peer.outName(), peer.inName());
        warmUp(peer);
        peer.run(Messages, 1);
        long long direct = 0;
        for (int i = 0; i < Messages; ++i) {
            direct = std::max(direct, peer.latency(i));
        }
        const int directReceived = peer.received();
        jack_disconnect(peer.client(), peer.outName(), peer.inName());

        Program program;
        if (!program.connect(peer)) {
            state.SkipWithError("the program's ports did not open");
            return;
        }
        warmUp(peer);
        peer.run(Messages, 1);
        long long through = 0;
        double sum = 0;
        for (int i = 0; i < Messages; ++i) {
            through = std::max(through, peer.latency(i));
            sum += double(peer.latency(i));
        }
        state.counters["direct_max_periods"] = double(direct);
        state.counters["through_max_periods"] = double(through);
        state.counters["added_max_periods"] = double(through - direct);
        state.counters["through_mean_periods"] = sum / Messages;
        state.counters["lost"] = double(2 * Messages - directReceived - peer.received());
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
    const int messages = std::min(MaxMessages, perPeriod * 48000 * 2 / Period);
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
        const double periods = double(peer.sentPeriod(last) + std::uint64_t(peer.latency(last)) - peer.sentPeriod(0) + 1);
        state.counters["messages_per_second"] = double(peer.received()) / (periods * Period / 48000.0);
        state.counters["lost"] = double(messages - peer.received());
        state.counters["input_overruns"] = double(program.service.receivedOverruns());
        state.counters["out_of_order"] = double(peer.disorder());
    }
}
BENCHMARK(BM_JackSustainedRate)->Arg(1)->Arg(32)->Arg(128)->Arg(512)->Arg(1024)->Arg(2048)->Iterations(1)
    ->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
