#include "PortRig.h"

#include <QtTest>

#include <atomic>
#include <thread>

// Opening, closing and sending on output ports, the way back through the input port, the
// Bluetooth pacing, and senders on several threads at once.
class OutputPortTransmit : public QObject {
    Q_OBJECT

private slots:
    void aMessageGoesOutWholeAsOnePacket_data()
    {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("result");
        QTest::newRow("one byte") << 1 << 0;
        QTest::newRow("largest accepted") << int(MaxMidiMessageLength) << 0;
        QTest::newRow("empty") << 0 << 1;
        QTest::newRow("one byte too long") << int(MaxMidiMessageLength) + 1 << 1;
    }

    void aMessageGoesOutWholeAsOnePacket()
    {
        QFETCH(int, length);
        QFETCH(int, result);
        PortRig rig;
        QCOMPARE(rig.openOutput(0u), 0);
        QByteArray message(length, char(0x55));
        QCOMPARE(rig.transmit(message), result);
        const QList<QByteArray> sent = rig.service->sentMessages(rig.service->getDestination(0));
        QCOMPARE(sent, result == 0 ? QList<QByteArray>{message} : QList<QByteArray>{});
    }

    // A failed send, a vanished destination, a refused open and a closed port each return 1; a
    // refused open keeps the previous destination, and a closed port leaves the time stamp alone.
    void sendingFailsWithoutAWorkingDestination()
    {
        PortRig rig;
        QCOMPARE(rig.openOutput(1u), 0);
        QCOMPARE(rig.output->openOutputPort(2u), 1);
        QCOMPARE(PortRig::nameOf(*rig.output), QStringLiteral("Loopback B"));
        rig.service->setSendFails(true);
        QCOMPARE(rig.transmit(hex("FA")), 1);
        rig.service->setSendFails(false);
        QCOMPARE(rig.transmit(hex("FA")), 0);
        QCOMPARE(rig.output->closeOutputPort(), 0);
        QCOMPARE(rig.output->closeOutputPort(), 1);
        const unsigned char message[] = {0xF8};
        unsigned int untouched = 777;
        QCOMPARE(rig.output->transmitMidi(message, 1, untouched), 1);
        QCOMPARE(untouched, 777u);
        QCOMPARE(rig.service->sendCount(), 1);

        QCOMPARE(rig.openOutput(1u), 0);
        rig.service->removeEndpoint(rig.service->getDestination(1));
        QCOMPARE(rig.transmit(hex("FA")), 1);
        QCOMPARE(rig.output->closeOutputPort(), 0);
        QCOMPARE(PortRig::nameOf(*rig.output), QStringLiteral("No Assign"));
    }

    // The pacing clock is replaced by one that advances a tenth of a millisecond at every
    // reading, so the wait is measured on it and not on a loaded machine's wall clock. A name
    // that cannot be read only stops the Bluetooth check: the port still opens and sends.
    void bluetoothDestinationsArePaced_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("nameReadable");
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("minimumMs");
        QTest::newRow("one byte") << "Bluetooth" << true << 1 << 1;
        QTest::newRow("thirty bytes") << "Bluetooth" << true << 30 << 11;
        QTest::newRow("not Bluetooth") << "Bluetooth LE" << true << 30 << 0;
        QTest::newRow("name unreadable") << "Bluetooth" << false << 300 << 0;
    }

    void bluetoothDestinationsArePaced()
    {
        QFETCH(QString, name);
        QFETCH(bool, nameReadable);
        QFETCH(int, length);
        QFETCH(int, minimumMs);
        PortRig rig;
        std::atomic<std::uint64_t> clock{5 * NanosPerMs + NanosPerMs / 2};
        rig.service->setHostClock([&clock] { return clock.fetch_add(NanosPerMs / 10); });
        // The display name is what the menus show; the Bluetooth check reads the endpoint's own name.
        const MidiEndpointRef phone = rig.service->addDestination(QStringLiteral("Phone MIDI"), name);
        rig.service->setPropertyReadFails(phone, FaultInjectingMidiService::Property::Name, !nameReadable);
        QCOMPARE(rig.output->openOutputPort(QStringLiteral("Phone MIDI")), 0);

        const std::uint64_t before = clock.load();
        QCOMPARE(rig.transmit(QByteArray(length, char(0x7F))), 0);
        const std::uint64_t after = clock.load();
        QVERIFY2(after / NanosPerMs - before / NanosPerMs >= std::uint64_t(minimumMs),
                 qPrintable(QString::number(after - before)));
        if (minimumMs == 0) {
            QVERIFY(after - before < NanosPerMs);
        }
        rig.service->setHostClock({});
    }

    void sendersOnSeveralThreadsAreSerialisedAndNothingIsLost()
    {
        PortRig rig;
        QCOMPARE(rig.openInput(0u), 0);
        QCOMPARE(rig.openOutput(0u), 0);
        constexpr int Threads = 4;
        constexpr int PerThread = 500;
        std::atomic<int> failures{0};
        std::vector<std::thread> senders;
        for (int t = 0; t < Threads; ++t) {
            senders.emplace_back([&rig, &failures, t] {
                for (int i = 0; i < PerThread; ++i) {
                    const unsigned char message[] = {static_cast<unsigned char>(0x90 + t), static_cast<unsigned char>(i / 128),
                                                     static_cast<unsigned char>(i % 128)};
                    unsigned int timeStamp = 0;
                    if (rig.output->transmitMidi(message, 3, timeStamp) != 0) {
                        ++failures;
                    }
                }
            });
        }
        for (std::thread& sender : senders) {
            sender.join();
        }
        QCOMPARE(failures.load(), 0);
        QVERIFY(rig.recorder.waitForCount(Threads * PerThread));
        int next[Threads] = {};
        for (const auto& record : rig.recorder.records()) {
            QCOMPARE(record.data.size(), 3);
            const int t = (unsigned char)record.data[0] - 0x90;
            QVERIFY(t >= 0 && t < Threads);
            QCOMPARE(int(record.data[1]) * 128 + int(record.data[2]), next[t]++);
        }
    }
};

QTEST_GUILESS_MAIN(OutputPortTransmit)
#include "tst_OutputPortTransmit.moc"
