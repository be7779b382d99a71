// What the ALSA service's flow control costs, on a real sequencer (scripts/alsa-vm.sh runs it in
// a guest with snd-virmidi):
//   BM_AlsaExclusiveToRawMidiPort: a 16384-byte exclusive to "VirMIDI 0-0", from the send until
//     the last byte was read from /dev/snd/midiC0D0. The port is paced at the cable rate after
//     the first 2,048 bytes, so about (16384 - 2048) × 320 µs = 4.6 s; on the cable itself the
//     dump lasts 5.2 s.
//   BM_AlsaExclusiveToProgramPeer: the same exclusive to another program that keeps ALSA's
//     default pools, until it has read the last byte.
//   BM_AlsaNotesToProgramPeer: 20,000 notes as fast as the program's pool takes them; the rate,
//     and how many were lost or came out of order (both must stay 0).
#include "midi/alsa/AlsaPeerClient.h"
#include "midi/alsa/RawMidiDevice.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/ServiceTestKit.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

void ignoreReadProc(const MidiPacket*, unsigned int, void*, void*) {}

struct Program {
    AlsaMidiService service;
    MidiClientRef client = 0;
    MidiPortRef output = 0;
    MidiPortRef input = 0;

    bool open()
    {
        return service.isOpen() && service.createClient(QStringLiteral("ClientName"), &client) == 0 &&
               service.createInputPort(client, QStringLiteral("InputPort"), &ignoreReadProc, nullptr, &input) == 0 &&
               service.createOutputPort(client, QStringLiteral("OutputPort"), &output) == 0;
    }

    MidiEndpointRef destinationNamed(const QString& name)
    {
        for (unsigned int i = 0; i < service.getNumberOfDestinations(); ++i) {
            QString portName;
            if (service.getStringProperty(service.getDestination(i), MidiStringProperty::Name, &portName) == 0 &&
                portName == name) {
                return service.getDestination(i);
            }
        }
        return InvalidPortRef;
    }

    bool send(MidiEndpointRef destination, const QByteArray& message)
    {
        const MidiPacket packet{0, std::uint16_t(message.size()), reinterpret_cast<const unsigned char*>(message.constData())};
        return service.send(output, destination, packet) == 0;
    }
};

// A 16384-byte exclusive per iteration; "intact" says whether the receiver got them all byte-exact.
template <typename Receiver>
void sendDumps(benchmark::State& state, Program& program, MidiEndpointRef destination, Receiver& receiver)
{
    const QByteArray dump = sysEx(16384);
    int expected = 0;
    for (auto _ : state) {
        expected += dump.size();
        if (!program.send(destination, dump) || !receiver.waitForBytes(expected)) {
            state.SkipWithError("the exclusive did not arrive");
            return;
        }
    }
    state.counters["intact"] = receiver.takeReceived() == dump.repeated(expected / dump.size()) ? 1 : 0;
}

void BM_AlsaExclusiveToRawMidiPort(benchmark::State& state)
{
    Program program;
    RawMidiDevice device(QStringLiteral("/dev/snd/midiC0D0"));
    const MidiEndpointRef destination = program.open() ? program.destinationNamed(QStringLiteral("VirMIDI 0-0")) : InvalidPortRef;
    if (!device.isOpen() || destination == InvalidPortRef || program.service.connectDestination(program.output, destination) != 0) {
        state.SkipWithError("no sequencer with snd-virmidi here");
        return;
    }
    sendDumps(state, program, destination, device);
}
BENCHMARK(BM_AlsaExclusiveToRawMidiPort)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AlsaExclusiveToProgramPeer(benchmark::State& state)
{
    Program program;
    AlsaPeerClient peer;
    const MidiEndpointRef destination = MidiEndpointRef(peer.clientId() * 256 + peer.inputPort());
    if (!program.open() || !peer.isOpen() || program.service.connectDestination(program.output, destination) != 0) {
        state.SkipWithError("no sequencer here");
        return;
    }
    sendDumps(state, program, destination, peer);
}
BENCHMARK(BM_AlsaExclusiveToProgramPeer)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AlsaNotesToProgramPeer(benchmark::State& state)
{
    constexpr int Count = 20000;
    Program program;
    AlsaPeerClient peer;
    const MidiEndpointRef destination = MidiEndpointRef(peer.clientId() * 256 + peer.inputPort());
    if (!program.open() || !peer.isOpen() || program.service.connectDestination(program.output, destination) != 0) {
        state.SkipWithError("no sequencer here");
        return;
    }
    QByteArray expected;
    for (int i = 0; i < Count; ++i) {
        // Every neighbour has another status byte, so no decoder may leave one out.
        const char note[3] = {char(0x90 | (i % 16)), char(i % 128), char(1 + (i / 128) % 127)};
        expected.append(note, 3);
    }
    int rounds = 0;
    for (auto _ : state) {
        ++rounds;
        for (int i = 0; i < Count; ++i) {
            if (!program.send(destination, expected.mid(i * 3, 3))) {
                state.SkipWithError("a send failed");
                return;
            }
        }
        peer.waitForBytes(expected.size() * rounds);
    }
    const QByteArray received = peer.takeReceived();
    state.counters["messages/s"] = benchmark::Counter(double(Count) * rounds, benchmark::Counter::kIsRate);
    state.counters["lost"] = double(expected.size() * rounds - received.size()) / 3;
    state.counters["outOfOrder"] = received == expected.repeated(rounds) ? 0 : 1;
}
BENCHMARK(BM_AlsaNotesToProgramPeer)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_MAIN();
