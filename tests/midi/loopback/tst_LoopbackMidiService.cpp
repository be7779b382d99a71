#include "midi/loopback/LoopbackMidiService.h"

#include <QtTest>

#include <condition_variable>
#include <mutex>

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
        self->condition.notify_all();
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
    MidiClientRef client = InvalidPortRef;
    MidiPortRef input = InvalidPortRef;
    MidiPortRef output = InvalidPortRef;
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
        std::unique_lock<std::mutex> lock(setup.reader.mutex);
        QVERIFY(setup.reader.condition.wait_for(lock, std::chrono::seconds(20),
                                                [&] { return setup.reader.finishedCalls == 101; }));
        QCOMPARE(setup.reader.packets.size(), 101);
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
};

QTEST_GUILESS_MAIN(LoopbackMidiServiceTest)
#include "tst_LoopbackMidiService.moc"
