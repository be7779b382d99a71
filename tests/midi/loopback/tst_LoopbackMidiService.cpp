#include "midi/loopback/LoopbackMidiService.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A read procedure that notes what arrived and can be held inside the call until the test
// lets it go.
struct Reader {
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void*)
    {
        auto* self = static_cast<Reader*>(readProcRefCon);
        std::unique_lock<std::mutex> lock(self->mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->packets.append(QByteArray(reinterpret_cast<const char*>(packets[i].data), packets[i].length));
        }
        self->inside = true;
        self->condition.notify_all();
        self->condition.wait(lock, [self] { return !self->held; });
        self->inside = false;
        self->finishedCalls++;
    }

    bool waitUntilInside()
    {
        std::unique_lock<std::mutex> lock(mutex);
        return condition.wait_for(lock, std::chrono::seconds(20), [this] { return inside; });
    }

    void setHeld(bool hold)
    {
        std::lock_guard<std::mutex> lock(mutex);
        held = hold;
        condition.notify_all();
    }

    std::mutex mutex;
    std::condition_variable condition;
    QList<QByteArray> packets;
    bool held = false;
    bool inside = false;
    int finishedCalls = 0;
};

struct Setup {
    explicit Setup(LoopbackMidiService& service)
    {
        service.createClient(QStringLiteral("Test"), &client);
        service.createInputPort(client, QStringLiteral("InputPort"), &Reader::readProc, &reader, &input);
        service.createOutputPort(client, QStringLiteral("OutputPort"), &output);
    }
    Reader reader;
    MidiClientRef client = MidiNullRef;
    MidiPortRef input = MidiNullRef;
    MidiPortRef output = MidiNullRef;
};

MidiStatus send(LoopbackMidiService& service, MidiPortRef port, MidiEndpointRef destination, const QByteArray& bytes)
{
    return service.send(port, destination,
                        MidiPacket{0, std::uint16_t(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data())});
}

}  // namespace

class LoopbackMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    // A send made while the service's thread is inside a read procedure returns at once: the
    // thru path sends from a delivery thread that may be holding up that very read procedure.
    void sendNeverWaitsForDelivery()
    {
        LoopbackMidiService service;
        Setup setup(service);
        QCOMPARE(service.connectSource(setup.input, service.getSource(0), nullptr), 0);
        setup.reader.setHeld(true);
        QCOMPARE(send(service, setup.output, service.getDestination(0), QByteArray("\xF8", 1)), 0);
        QVERIFY(setup.reader.waitUntilInside());
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(send(service, setup.output, service.getDestination(0), QByteArray("\xF8", 1)), 0);
        }
        setup.reader.setHeld(false);
        QVERIFY(service.waitUntilDelivered(20000));
        std::lock_guard<std::mutex> lock(setup.reader.mutex);
        QCOMPARE(setup.reader.packets.size(), 101);
    }

    void disconnectingWaitsForADeliveryInProgress()
    {
        LoopbackMidiService service;
        Setup setup(service);
        QCOMPARE(service.connectSource(setup.input, service.getSource(0), nullptr), 0);
        setup.reader.setHeld(true);
        QVERIFY(service.injectPackets(service.getSource(0), {QByteArray("\xFA", 1)}));
        QVERIFY(setup.reader.waitUntilInside());
        int finishedWhenReturned = -1;
        std::thread disconnecter([&] {
            service.disconnectSource(setup.input, service.getSource(0));
            std::lock_guard<std::mutex> lock(setup.reader.mutex);
            finishedWhenReturned = setup.reader.finishedCalls;
        });
        setup.reader.setHeld(false);
        disconnecter.join();
        QCOMPARE(finishedWhenReturned, 1);
        QCOMPARE(service.connectionCount(), 0);
        QCOMPARE(service.disconnectSource(setup.input, service.getSource(0)), 1);
    }

    void sendsToInvalidPortsOrEndpointsFail()
    {
        LoopbackMidiService service;
        Setup setup(service);
        QCOMPARE(send(service, setup.input, service.getDestination(0), QByteArray("\xF8", 1)), 1);
        QCOMPARE(send(service, setup.output, service.getSource(0), QByteArray("\xF8", 1)), 1);
        QCOMPARE(send(service, setup.output, 9999, QByteArray("\xF8", 1)), 1);
        QCOMPARE(service.connectSource(setup.output, service.getSource(0), nullptr), 1);
        QCOMPARE(service.connectSource(setup.input, service.getDestination(0), nullptr), 1);
    }

    void removingTheSourceOrDisposingThePortOrClientEndsItsConnections()
    {
        LoopbackMidiService service;
        Setup setup(service);
        QCOMPARE(service.connectSource(setup.input, service.getSource(1), nullptr), 0);
        QVERIFY(service.removeEndpoint(service.getSource(1)));
        QCOMPARE(service.connectionCount(), 0);
        QCOMPARE(service.connectSource(setup.input, service.getSource(0), nullptr), 0);
        QCOMPARE(service.disposePort(setup.input), 0);
        QCOMPARE(service.connectionCount(), 0);
        MidiPortRef again = MidiNullRef;
        QCOMPARE(service.createInputPort(setup.client, QStringLiteral("InputPort"), &Reader::readProc, &setup.reader,
                                         &again),
                 0);
        QCOMPARE(service.connectSource(again, service.getSource(0), nullptr), 0);
        QCOMPARE(service.disposeClient(setup.client), 0);
        QCOMPARE(service.connectionCount(), 0);
        QCOMPARE(send(service, setup.output, service.getDestination(0), QByteArray("\xF8", 1)), 1);
    }
};

QTEST_GUILESS_MAIN(LoopbackMidiServiceTest)
#include "tst_LoopbackMidiService.moc"
