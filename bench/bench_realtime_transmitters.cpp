// The timing clock and active sensing threads sending to a JACK peer on a private server with a
// short period (64 frames at 48 kHz, 1.33 ms), for ten seconds each.
//   BM_TimingClock/3000: 300.0 BPM, a clock due every 8333 us. Counters: the rate the peer saw
//     (clocks per second, and its error against 120 in percent), clocks lost or doubled (the
//     peer's count against the sender's), clocks that arrived a cycle late (an interval of more
//     than 1.5 clock intervals at the peer), the 99th
//     percentile and maximum of |interval - 8333 us| as the thread sent them (steady clock at the
//     transmit call) and as the peer received them (JACK's microsecond clock at the start of the
//     receiving cycle: JACK places every event at the start of the next cycle, so these carry up
//     to one period of rounding; the dummy driver's frame count falls behind the wall clock on a
//     loaded machine, so frames are not used), and the sending thread's CPU time in percent of
//     one core.
//   BM_ActiveSensing/100: one message every 100 ms. Messages per second at the peer, p99 of
//     |interval - 100 ms| as sent, and the thread's CPU time in percent of one core.
#include "testkit/JackTestServer.h"
#include "engine/MidiActivesenseTransmittionThread.h"
#include "engine/MidiTimingClockTransmittionThread.h"
#include "midi/MidiConstants.h"
#include "midi/MidiOutputPort.h"
#include "midi/jack/JackMidiService.h"

#include <benchmark/benchmark.h>

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include <pthread.h>
#include <time.h>

namespace {
constexpr int Period = 64;
constexpr int MaxEvents = 1 << 14;
constexpr auto RunTime = std::chrono::seconds(10);

JackTestServer& server()
{
    static JackTestServer instance(Period);
    if (!instance.isRunning()) {
        instance.start();
    }
    return instance;
}

std::int64_t nanosecondsNow()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Notes when (JACK's microsecond clock at the start of the cycle) every one-byte message arrives
// on its input. The process callback only copies.
class Peer {
public:
    Peer() : m_micros(MaxEvents)
    {
        m_client = jack_client_open("bench-peer", JackNoStartServer, nullptr);
        if (!m_client) {
            return;
        }
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
    const char* inName() const { return jack_port_name(m_in); }
    int received() const { return std::min(m_count.load(std::memory_order_acquire), MaxEvents); }
    std::uint64_t micros(int index) const { return m_micros[index]; }

private:
    static int process(jack_nframes_t frames, void* arg)
    {
        auto* self = static_cast<Peer*>(arg);
        const jack_time_t cycleStart = jack_get_time();
        void* in = jack_port_get_buffer(self->m_in, frames);
        for (jack_nframes_t i = 0, n = jack_midi_get_event_count(in); i < n; ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, in, i) != 0 || event.size != 1) {
                continue;
            }
            const int index = self->m_count.load(std::memory_order_relaxed);
            if (index < MaxEvents) {
                self->m_micros[index] = cycleStart;
            }
            self->m_count.store(index + 1, std::memory_order_release);
        }
        return 0;
    }

    jack_client_t* m_client = nullptr;
    jack_port_t* m_in = nullptr;
    std::vector<std::uint64_t> m_micros;
    std::atomic<int> m_count{0};
};

// The program's side: an output port on the JACK service connected to the peer, standing in for
// the main window's transmit path. Notes when each message was handed over and which thread's
// CPU clock to read.
class Program : public MidiTransmitterIF {
public:
    explicit Program(const Peer& peer) : m_sentAt(MaxEvents)
    {
        m_output.getOutputPortNameList();
        m_open = m_output.openOutputPort(QString::fromUtf8(peer.inName())) == 0;
    }

    bool transmitMidi(const unsigned char* data, unsigned short size, unsigned char, OutputPortGroup, bool,
                      bool) override
    {
        const int index = m_count.load(std::memory_order_relaxed);
        if (index == 0) {
            pthread_getcpuclockid(pthread_self(), &m_senderClock);
        }
        if (index < MaxEvents) {
            m_sentAt[index] = nanosecondsNow();
        }
        m_count.store(index + 1, std::memory_order_release);
        unsigned int timeStamp = 0;
        return m_output.transmitMidi(data, size, timeStamp) == 0;
    }

    bool isOpen() const { return m_open; }
    int sent() const { return std::min(m_count.load(std::memory_order_acquire), MaxEvents); }
    std::int64_t sentAt(int index) const { return m_sentAt[index]; }
    // CPU time of the sending thread in nanoseconds; valid once something was sent.
    std::int64_t senderCpuNanoseconds() const
    {
        timespec time{};
        clock_gettime(m_senderClock, &time);
        return std::int64_t(time.tv_sec) * 1000000000 + time.tv_nsec;
    }

private:
    JackMidiService m_service{QStringLiteral("Tulvar MIDI")};
    MidiClient m_client{m_service};
    MidiOutputPort m_output{&m_client, MaxMidiMessageLength, 0, 0, 0};
    bool m_open = false;
    std::vector<std::int64_t> m_sentAt;
    std::atomic<int> m_count{0};
    clockid_t m_senderClock{};
};

double percentile99(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    const auto at = values.begin() + std::ptrdiff_t(double(values.size() - 1) * 0.99);
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

// |interval - expected| in microseconds for consecutive moments given in microseconds.
std::vector<double> deviations(const std::vector<double>& moments, double expected)
{
    std::vector<double> result;
    for (std::size_t i = 1; i < moments.size(); ++i) {
        result.push_back(std::fabs(moments[i] - moments[i - 1] - expected));
    }
    return result;
}

struct Run {
    std::vector<double> sentMicros;
    std::vector<double> arrivedMicros;
    double cpuPercent = 0;
};

// Plays for RunTime, measuring the sender's CPU time from its first message to the end.
template <typename Start, typename Stop>
bool play(benchmark::State& state, Run& run, Start start, Stop stop, Peer& peer, Program& program)
{
    start();
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (program.sent() == 0 && std::chrono::steady_clock::now() < limit) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    if (program.sent() == 0) {
        stop();
        state.SkipWithError("nothing was sent");
        return false;
    }
    const std::int64_t cpuStart = program.senderCpuNanoseconds();
    const std::int64_t wallStart = nanosecondsNow();
    std::this_thread::sleep_for(RunTime);
    run.cpuPercent = 100.0 * double(program.senderCpuNanoseconds() - cpuStart) / double(nanosecondsNow() - wallStart);
    stop();
    // The last messages reach the peer within a few periods.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    for (int i = 0; i < program.sent(); ++i) {
        run.sentMicros.push_back(double(program.sentAt(i)) / 1000.0);
    }
    for (int i = 0; i < peer.received(); ++i) {
        run.arrivedMicros.push_back(double(peer.micros(i)));
    }
    if (run.arrivedMicros.size() < 2) {
        state.SkipWithError("the peer received nothing");
        return false;
    }
    return true;
}

bool ready(benchmark::State& state, const Peer& peer, const Program& program)
{
    if (!server().isRunning()) {
        state.SkipWithError("jackd did not start");
        return false;
    }
    if (!peer.isOpen() || !program.isOpen()) {
        state.SkipWithError("the ports did not open");
        return false;
    }
    return true;
}

void BM_TimingClock(benchmark::State& state)
{
    server();
    const int tempo = int(state.range(0));
    const double interval = 25000000.0 / tempo;
    for (auto _ : state) {
        Peer peer;
        Program program(peer);
        if (!ready(state, peer, program)) {
            return;
        }
        MidiTimingClockTransmittionThread thread(nullptr, &program);
        thread.setTempo(tempo);
        Run run;
        if (!play(state, run, [&] { thread.setPlayTimingClockFlag(true); },
                  [&] { thread.setPlayTimingClockFlag(false); }, peer, program)) {
            return;
        }
        const double span = (run.arrivedMicros.back() - run.arrivedMicros.front()) / 1e6;
        const double rate = double(run.arrivedMicros.size() - 1) / span;
        // A clock is lost or doubled when the peer's count differs from the sender's; a gap of
        // more than 1.5 intervals followed by a short one is a clock that arrived a cycle late.
        const int arrived = int(run.arrivedMicros.size());
        const int sent = int(run.sentMicros.size());
        int late = 0;
        for (std::size_t i = 1; i < run.arrivedMicros.size(); ++i) {
            late += run.arrivedMicros[i] - run.arrivedMicros[i - 1] > 1.5 * interval ? 1 : 0;
        }
        const std::vector<double> sentDeviation = deviations(run.sentMicros, interval);
        const std::vector<double> arrivedDeviation = deviations(run.arrivedMicros, interval);
        state.counters["clocks_per_second"] = rate;
        state.counters["rate_error_percent"] = 100.0 * (rate - 1e6 / interval) / (1e6 / interval);
        state.counters["sent"] = sent;
        state.counters["lost"] = std::max(0, sent - arrived);
        state.counters["doubled"] = std::max(0, arrived - sent);
        state.counters["late"] = late;
        state.counters["sent_p99_us"] = percentile99(sentDeviation);
        state.counters["sent_max_us"] = *std::max_element(sentDeviation.begin(), sentDeviation.end());
        state.counters["arrived_p99_us"] = percentile99(arrivedDeviation);
        state.counters["arrived_max_us"] = *std::max_element(arrivedDeviation.begin(), arrivedDeviation.end());
        state.counters["cpu_percent"] = run.cpuPercent;
    }
}
BENCHMARK(BM_TimingClock)->Arg(3000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ActiveSensing(benchmark::State& state)
{
    server();
    const int milliseconds = int(state.range(0));
    for (auto _ : state) {
        Peer peer;
        Program program(peer);
        if (!ready(state, peer, program)) {
            return;
        }
        MidiActivesenseTransmittionThread thread(nullptr, &program);
        thread.setActivesenseInterval(milliseconds);
        Run run;
        if (!play(state, run, [&] { thread.setPlayActivesensingFlag(true); },
                  [&] { thread.setPlayActivesensingFlag(false); }, peer, program)) {
            return;
        }
        const double span = (run.arrivedMicros.back() - run.arrivedMicros.front()) / 1e6;
        const std::vector<double> sentDeviation = deviations(run.sentMicros, milliseconds * 1000.0);
        state.counters["messages_per_second"] = double(run.arrivedMicros.size() - 1) / span;
        state.counters["sent_p99_us"] = percentile99(sentDeviation);
        state.counters["cpu_percent"] = run.cpuPercent;
    }
}
BENCHMARK(BM_ActiveSensing)->Arg(100)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
