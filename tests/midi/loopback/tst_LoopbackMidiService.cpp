#include "midi/ServiceTestKit.h"
#include "midi/loopback/LoopbackMidiService.h"

#include <QtTest>

// What only the Loopback service does; what every service promises is in the contract suite.
class LoopbackMidiServiceTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_service = std::make_unique<LoopbackMidiService>();
        QCOMPARE(m_service->createClient(QStringLiteral("Test"), &m_client), 0);
        QCOMPARE(m_service->createInputPort(m_client, QStringLiteral("InputPort"), &HeldReader::readProc, &m_reader,
                                            &m_input),
                 0);
        QCOMPARE(m_service->createOutputPort(m_client, QStringLiteral("OutputPort"), &m_output), 0);
    }

    // A send made while the service's thread is inside a read procedure returns at once: the
    // thru path sends from a delivery thread that may be holding up that very read procedure.
    void sendNeverWaitsForDelivery()
    {
        QCOMPARE(m_service->connectSource(m_input, m_service->getSource(0), nullptr), 0);
        m_reader.setHeld(true);
        QCOMPARE(send(m_output, m_service->getDestination(0)), 0);
        QVERIFY(m_reader.waitUntilInside());
        for (int i = 0; i < 100; ++i) {
            QCOMPARE(send(m_output, m_service->getDestination(0)), 0);
        }
        m_reader.setHeld(false);
        QVERIFY(m_reader.waitForPackets(101));
    }

    void sendsAndConnectionsToTheWrongKindOfReferenceFail()
    {
        QCOMPARE(send(m_input, m_service->getDestination(0)), 1);
        QCOMPARE(send(m_output, m_service->getSource(0)), 1);
        QCOMPARE(send(m_output, 9999), 1);
        QCOMPARE(m_service->connectSource(m_output, m_service->getSource(0), nullptr), 1);
        QCOMPARE(m_service->connectSource(m_input, m_service->getDestination(0), nullptr), 1);
    }

private:
    MidiStatus send(MidiPortRef port, MidiEndpointRef destination)
    {
        const unsigned char clock = 0xF8;
        return m_service->send(port, destination, MidiPacket{0, 1, &clock});
    }

    HeldReader m_reader;
    std::unique_ptr<LoopbackMidiService> m_service;
    MidiClientRef m_client = InvalidPortRef;
    MidiPortRef m_input = InvalidPortRef;
    MidiPortRef m_output = InvalidPortRef;
};

QTEST_GUILESS_MAIN(LoopbackMidiServiceTest)
#include "tst_LoopbackMidiService.moc"
