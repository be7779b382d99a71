#include "midi/loopback/LoopbackMidiService.h"

#include <QtTest>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// A read procedure that notes what arrived and on which thread, and can be held inside the
// call until the test lets it go.
struct Reader {
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void* srcConnRefCon)
    {
        auto* self = static_cast<Reader*>(readProcRefCon);
        std::unique_lock<std::mutex> lock(self->mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->packets.append(QByteArray(reinterpret_cast<const char*>(packets[i].data), packets[i].length));
            self->hostTimes.append(packets[i].hostTime);
        }
        self->contexts.append(srcConnRefCon);
        self->thread = std::this_thread::get_id();
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
    QList<std::uint64_t> hostTimes;
    QList<void*> contexts;
    std::thread::id thread;
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

QString displayName(LoopbackMidiService& service, MidiEndpointRef endpoint)
{
    QString name;
    service.getStringProperty(endpoint, MidiStringProperty::DisplayName, &name);
    return name;
}

std::int32_t uniqueId(LoopbackMidiService& service, MidiEndpointRef endpoint)
{
    std::int32_t id = 0;
    service.getIntegerProperty(endpoint, MidiIntegerProperty::UniqueId, &id);
    return id;
}

MidiStatus send(LoopbackMidiService& service, MidiPortRef port, MidiEndpointRef destination, const QByteArray& bytes)
{
    return service.send(port, destination,
                        MidiPacket{0, std::uint16_t(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data())});
}

}  // namespace

class LoopbackMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void offersTwoLoopbackPairs()
    {
        LoopbackMidiService service;
        QCOMPARE(service.getNumberOfSources(), 2u);
        QCOMPARE(service.getNumberOfDestinations(), 2u);
        QCOMPARE(displayName(service, service.getSource(0)), QStringLiteral("Loopback A"));
        QCOMPARE(displayName(service, service.getSource(1)), QStringLiteral("Loopback B"));
        QCOMPARE(displayName(service, service.getDestination(0)), QStringLiteral("Loopback A"));
        QCOMPARE(displayName(service, service.getDestination(1)), QStringLiteral("Loopback B"));
        QCOMPARE(service.getSource(2), MidiNullRef);
        QCOMPARE(service.getDestination(2), MidiNullRef);
        QSet<std::int32_t> ids;
        for (unsigned int i = 0; i < 2; ++i) {
            ids << uniqueId(service, service.getSource(i)) << uniqueId(service, service.getDestination(i));
        }
        QCOMPARE(ids.size(), 4);
    }

    void whatIsSentToADestinationArrivesFromItsSourceOnTheServiceThread()
    {
        LoopbackMidiService service;
        Setup setup(service);
        int context = 0;
        QCOMPARE(service.connectSource(setup.input, service.getSource(1), &context), 0);
        QCOMPARE(send(service, setup.output, service.getDestination(0), QByteArray("\x90\x3C\x40", 3)), 0);
        QCOMPARE(send(service, setup.output, service.getDestination(1), QByteArray("\x80\x3C\x00", 3)), 0);
        QVERIFY(service.waitUntilDelivered(20000));
        std::lock_guard<std::mutex> lock(setup.reader.mutex);
        QCOMPARE(setup.reader.packets, QList<QByteArray>{QByteArray("\x80\x3C\x00", 3)});
        QCOMPARE(setup.reader.contexts, QList<void*>{&context});
        QVERIFY(setup.reader.hostTimes[0] != 0);
        QVERIFY(setup.reader.thread != std::this_thread::get_id());
        QCOMPARE(service.sendCount(), 2);
    }

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

    // Renaming keeps the unique ID that ports find a source by; a removed endpoint is gone.
    void renamingKeepsTheIdAndRemovingForgetsTheEndpoint()
    {
        LoopbackMidiService service;
        const MidiEndpointRef source = service.getSource(1);
        const std::int32_t id = uniqueId(service, source);
        QVERIFY(service.renameEndpoint(source, QStringLiteral("Pads")));
        QCOMPARE(displayName(service, source), QStringLiteral("Pads"));
        QCOMPARE(uniqueId(service, source), id);
        QVERIFY(service.removeEndpoint(source));
        QCOMPARE(service.getNumberOfSources(), 1u);
        QString name;
        QCOMPARE(service.getStringProperty(source, MidiStringProperty::DisplayName, &name), 1);
        QVERIFY(!service.removeEndpoint(source));
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
