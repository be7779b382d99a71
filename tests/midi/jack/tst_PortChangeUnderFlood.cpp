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
    return QByteArray(1, char(0xF0)) + char(sequence >> 7) + char(sequence & 0x7F) + QByteArray(EventLength - 4, 0x11)
           + char(0xF7);
}

// The receive callback: notes the sequence number, then passes the event on slowly, as the
// analyzer does with thru on.
struct SlowThru {
    static void callback(void* context, const unsigned char* data, unsigned short length, unsigned int, unsigned int)
    {
        auto* self = static_cast<SlowThru*>(context);
        {
            std::lock_guard<std::mutex> lock(self->mutex);
            self->sequences.push_back(data[1] * 128 + data[2]);
            self->changed.notify_all();
        }
        std::this_thread::sleep_for(ThruDelay);
        self->output->transmitMidi(data, length, self->timeStamp);
    }
    bool waitFor(std::size_t count, int last)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30),
                                [&] { return sequences.size() >= count && (last < 0 || sequences.back() == last); });
    }

    MidiOutputPort* output = nullptr;
    unsigned int timeStamp = 0;
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> sequences;
};
}

class PortChangeUnderFlood : public QObject {
    Q_OBJECT

private slots:
    void portChangeAndQuitFinishInOrder_data()
    {
        QTest::addColumn<bool>("jack");
        QTest::addColumn<bool>("switchFirst");
        for (bool jack : {false, true}) {
            for (bool switchFirst : {true, false}) {
                QTest::addRow("%s, %s", jack ? "JACK" : "Loopback", switchFirst ? "switch then quit" : "quit while flooded")
                    << jack << switchFirst;
            }
        }
    }

    void portChangeAndQuitFinishInOrder()
    {
        QFETCH(bool, jack);
        QFETCH(bool, switchFirst);
        // Source 0 floods, source 1 is switched to; thru goes to a destination nobody drains fast.
        std::unique_ptr<MidiService> service;
        QString sources[2], thruDestination;
        std::function<void(int, const QByteArray&)> send;
        std::unique_ptr<JackPeerClient> peers[2];
        if (jack) {
            if (!m_server.isRunning()) {
                m_server.start();
            }
            TULVAR_REQUIRE_JACK(m_server);
            for (int i : {0, 1}) {
                peers[i] = std::make_unique<JackPeerClient>(i == 0 ? "tulvar-flood" : "tulvar-quiet");
                sources[i] = peers[i]->sourceName();
            }
            service = std::make_unique<JackMidiService>();
            thruDestination = peers[0]->destinationName();
            send = [&](int source, const QByteArray& bytes) { peers[source]->send(bytes); };
        } else {
            auto loopback = std::make_unique<FaultInjectingMidiService>();
            loopback->addDestination(thruDestination = QStringLiteral("Slow thru"));
            sources[0] = QStringLiteral("Loopback A");
            sources[1] = QStringLiteral("Loopback B");
            service = std::move(loopback);
        }
        auto client = std::make_unique<MidiClient>(*service);
        auto input = std::make_unique<MidiInputPort>(client.get(), MaxMidiMessageLength, 0, 0, 0);
        auto output = std::make_unique<MidiOutputPort>(client.get(), MaxMidiMessageLength, 0, 0, 0);
        MidiPortRef peerOutput = InvalidPortRef;
        if (!jack) {
            QCOMPARE(service->createOutputPort(client->clientRef(), QStringLiteral("peer"), &peerOutput), 0);
            send = [&](int source, const QByteArray& bytes) {
                const MidiPacket packet{0, std::uint16_t(bytes.size()), reinterpret_cast<const unsigned char*>(bytes.data())};
                service->send(peerOutput, service->getDestination(unsigned(source)), packet);
            };
        }
        SlowThru thru;
        thru.output = output.get();
        input->setReceivedMidiCallbackFunc(&SlowThru::callback, &thru);
        QCOMPARE(output->openOutputPort(thruDestination), 0);
        QCOMPARE(input->openInputPort(sources[0]), 0);
        for (int i = 0; i < FloodEvents; ++i) {
            send(0, numbered(i));
        }
        QVERIFY(!jack || peers[0]->waitUntilSent());
        QVERIFY(thru.waitFor(2, -1));

        // Run aside, so that a hang fails the test rather than stalling it.
        auto finished = std::async(std::launch::async, [&] {
            if (switchFirst) {
                input->openInputPort(sources[1]);
                send(1, numbered(FloodEvents));
                thru.waitFor(1, FloodEvents);
            }
            input.reset();
            output.reset();
            client.reset();
            service.reset();
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

private:
    JackTestServer m_server;
};

QTEST_GUILESS_MAIN(PortChangeUnderFlood)
#include "tst_PortChangeUnderFlood.moc"
