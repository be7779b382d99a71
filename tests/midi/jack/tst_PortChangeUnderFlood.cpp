#include "JackPeerClient.h"
#include "testkit/FaultInjectingMidiService.h"
#include "testkit/JackTestServer.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <functional>
#include <future>
#include <thread>

// An input floods faster than its thru destination drains, so the service's reader waits for room
// in the port's ring; switching that input and quitting must still finish, keeping the order.

namespace {
constexpr int FloodEvents = 60;
constexpr int EventLength = 2000;  // a port's ring holds eight
constexpr auto ThruDelay = std::chrono::milliseconds(20);

// An exclusive carrying its sequence number in its first two data bytes.
QByteArray numbered(int sequence)
{
    QByteArray bytes(EventLength, char(0x11));
    bytes[0] = char(0xF0);
    bytes[1] = char(sequence >> 7);
    bytes[2] = char(sequence & 0x7F);
    bytes[EventLength - 1] = char(0xF7);
    return bytes;
}

// The receive callback: notes the sequence number, then passes the event on slowly, as the
// analyzer does with thru on.
struct SlowThru {
    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int, unsigned int)
    {
        auto* self = static_cast<SlowThru*>(context);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->sequences.push_back(length > 2 ? data[1] * 128 + data[2] : -1);
            self->changed.notify_all();
        }
        std::this_thread::sleep_for(ThruDelay);
        unsigned int timeStamp = 0;
        self->output->transmitMidi(data, length, timeStamp);
    }
    bool waitFor(std::size_t count, int last = -1)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] {
            return sequences.size() >= count && (last < 0 || sequences.back() == last);
        });
    }

    MidiOutputPort* output = nullptr;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> sequences;
};

// The service with a flooded source, a quiet one to switch to and a thru destination.
struct Backend {
    std::unique_ptr<MidiService> service;
    QString floodSource, quietSource, thruDestination;
    std::function<void(const QByteArray&)> flood, sendQuietly;
    std::function<void()> waitUntilFlooded;
};
}

class PortChangeUnderFlood : public QObject {
    Q_OBJECT

private slots:
    void cleanupTestCase() { m_server.stop(); }
    void portChangeAndQuitFinishInOrder_data();
    void portChangeAndQuitFinishInOrder();

private:
    JackTestServer m_server;
};

void PortChangeUnderFlood::portChangeAndQuitFinishInOrder_data()
{
    QTest::addColumn<bool>("jack");
    QTest::addColumn<bool>("switchFirst");
    for (bool jack : {false, true}) {
        QTest::addRow("%s, switch then quit", jack ? "JACK" : "Loopback") << jack << true;
        QTest::addRow("%s, quit while flooded", jack ? "JACK" : "Loopback") << jack << false;
    }
}

void PortChangeUnderFlood::portChangeAndQuitFinishInOrder()
{
    QFETCH(bool, jack);
    QFETCH(bool, switchFirst);
    Backend backend;
    std::unique_ptr<JackPeerClient> floodPeer, quietPeer;
    MidiPortRef peerOutput = InvalidPortRef;
    if (jack) {
        if (!m_server.isRunning()) {
            m_server.start();
        }
        TULVAR_REQUIRE_JACK(m_server);
        floodPeer = std::make_unique<JackPeerClient>("tulvar-flood");
        quietPeer = std::make_unique<JackPeerClient>("tulvar-quiet");
        backend = Backend{std::make_unique<JackMidiService>(), floodPeer->outputName(), quietPeer->outputName(),
                          floodPeer->inputName(), [&](const QByteArray& e) { floodPeer->sendEvent(e); },
                          [&](const QByteArray& e) { quietPeer->sendEvent(e); },
                          [&] { QVERIFY(floodPeer->waitUntilSent()); }};
    } else {
        auto loopback = std::make_unique<FaultInjectingMidiService>();
        MidiClientRef peer = InvalidPortRef;
        QCOMPARE(loopback->createClient(QStringLiteral("peer"), &peer), 0);
        QCOMPARE(loopback->createOutputPort(peer, QStringLiteral("peer"), &peerOutput), 0);
        const QString thru = QStringLiteral("Slow thru");
        loopback->addDestination(thru);
        MidiService* service = loopback.get();
        auto sendTo = [service, &peerOutput](unsigned int loop) {
            return [service, &peerOutput, loop](const QByteArray& e) {
                const MidiPacket packet{0, std::uint16_t(e.size()), reinterpret_cast<const unsigned char*>(e.data())};
                service->send(peerOutput, service->getDestination(loop), packet);
            };
        };
        backend = Backend{std::move(loopback), QStringLiteral("Loopback A"), QStringLiteral("Loopback B"), thru,
                          sendTo(0), sendTo(1), [] {}};
    }
    auto client = std::make_unique<MidiClient>(*backend.service);
    auto input = std::make_unique<MidiInputPort>(client.get(), MaxMidiMessageLength, 0, 0, 0);
    auto output = std::make_unique<MidiOutputPort>(client.get(), MaxMidiMessageLength, 0, 0, 0);
    SlowThru thru;
    thru.output = output.get();
    input->setReceivedMidiCallbackFunc(&SlowThru::callback, &thru);
    QCOMPARE(output->openOutputPort(backend.thruDestination), 0);
    QCOMPARE(input->openInputPort(backend.floodSource), 0);
    for (int i = 0; i < FloodEvents; ++i) {
        backend.flood(numbered(i));
    }
    backend.waitUntilFlooded();
    QVERIFY(thru.waitFor(2));

    // Run aside, so that a hang fails the test rather than stalling it.
    auto finished = std::async(std::launch::async, [&] {
        if (switchFirst) {
            input->openInputPort(backend.quietSource);
            backend.sendQuietly(numbered(FloodEvents));
            thru.waitFor(1, FloodEvents);
        }
        input.reset();
        output.reset();
        client.reset();
        backend.service.reset();
    });
    if (finished.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        m_server.stop();
        qFatal("switching or closing a flooded input hung");
    }
    const std::vector<int>& received = thru.sequences;
    QVERIFY(received.size() >= 2);
    QVERIFY(std::adjacent_find(received.begin(), received.end(), std::greater_equal<int>()) == received.end());
    QCOMPARE(received.back() == FloodEvents, switchFirst);
}

QTEST_GUILESS_MAIN(PortChangeUnderFlood)
#include "tst_PortChangeUnderFlood.moc"
