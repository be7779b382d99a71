#include "PortRig.h"

#include <QtTest>

// Opening and closing ports: what is assigned, what stays connected, and what happens when
// endpoints change underneath. A vanished device is the service contract's.
class PortOpenClose : public QObject {
    Q_OBJECT

private slots:
    void reopeningAssignsNameAndIdAndClosesThePreviousSource()
    {
        PortRig rig;
        QCOMPARE(rig.openInput(0u), 0);
        QCOMPARE(rig.openInput(1u), 0);
        QCOMPARE(rig.inputName(), QStringLiteral("Loopback B"));
        QCOMPARE(rig.input->getCurrentPortIndex(), 1u);
        std::int32_t id = 0;
        rig.service->getIntegerProperty(rig.service->getSource(1), MidiIntegerProperty::UniqueId, &id);
        QCOMPARE(rig.input->getCurrentPortUniqueId(), id);
        QCOMPARE(rig.service->connectionCount(), 1);
        QVERIFY(rig.inject(0, hex("F8")));
        QVERIFY(rig.inject(1, hex("FA")));
        QVERIFY(rig.recorder.waitForCount(1));
        QCOMPARE(rig.recorder.count(), std::size_t(1));
        QCOMPARE(rig.recorder.records()[0].data, hex("FA"));

        // Destroying the open port disconnects it.
        rig.input.reset();
        QCOMPARE(rig.service->connectionCount(), 0);
        QVERIFY(rig.inject(1, hex("F8")));
    }

    // Whatever makes the open fail, the port ends unassigned and holds no connection: a
    // connection nobody can close would keep feeding a port that shows "No Assign".
    void failedOpenLeavesThePortUnassignedAndUnconnected_data()
    {
        QTest::addColumn<bool>("input");
        QTest::addColumn<QString>("failure");
        for (bool input : {true, false}) {
            const char* direction = input ? "input" : "output";
            QTest::addRow("%s: index beyond the name list", direction) << input << "beyond list";
            QTest::addRow("%s: unique ID unreadable", direction) << input << "unique id";
        }
        QTest::newRow("input: connection refused") << true << "connect";
    }

    void failedOpenLeavesThePortUnassignedAndUnconnected()
    {
        QFETCH(bool, input);
        QFETCH(QString, failure);
        PortRig rig;
        QCOMPARE(input ? rig.openInput(0u) : rig.openOutput(0u), 0);
        unsigned int index = 1;
        if (failure == "beyond list") {
            input ? rig.service->addSource(QStringLiteral("Late")) : rig.service->addDestination(QStringLiteral("Late"));
            index = 2;
        } else if (failure == "unique id") {
            rig.service->setPropertyReadFails(input ? rig.service->getSource(1) : rig.service->getDestination(1),
                                              FaultInjectingMidiService::Property::UniqueId, true);
        } else {
            rig.service->setConnectFails(true);
        }
        const Midi& port = input ? static_cast<const Midi&>(*rig.input) : *rig.output;
        QCOMPARE(input ? rig.input->openInputPort(index) : rig.output->openOutputPort(index), 1);
        QCOMPARE(input ? rig.inputName() : rig.outputName(), QStringLiteral("No Assign"));
        QCOMPARE(port.getCurrentPortIndex(), InvalidPortIndex);
        QCOMPARE(port.getCurrentPortUniqueId(), InvalidPortId);
        QCOMPARE(rig.service->connectionCount(), 0);
        QCOMPARE(rig.transmit(hex("FA")), 1);
        QCOMPARE(input ? rig.input->closeInputPort() : rig.output->closeOutputPort(), 1);
    }

    // Closing finds the source by its unique ID, wherever it moved and whatever else fails to read.
    void closingFindsTheSourceAfterTheListChanged_data()
    {
        QTest::addColumn<bool>("otherIdUnreadable");
        QTest::newRow("source moved") << false;
        QTest::newRow("another source's ID unreadable") << true;
    }

    void closingFindsTheSourceAfterTheListChanged()
    {
        QFETCH(bool, otherIdUnreadable);
        PortRig rig;
        QCOMPARE(rig.openInput(1u), 0);
        if (otherIdUnreadable) {
            rig.service->setPropertyReadFails(rig.service->getSource(0), FaultInjectingMidiService::Property::UniqueId, true);
        } else {
            rig.service->removeEndpoint(rig.service->getSource(0));
            rig.service->addSource(QStringLiteral("New"));
        }
        QCOMPARE(rig.input->closeInputPort(), 0);
        QCOMPARE(rig.service->connectionCount(), 0);
        QCOMPARE(rig.inputName(), QStringLiteral("No Assign"));
    }

    void aPacketLongerThanARecordArrivesInSlices()
    {
        PortRig rig;
        QCOMPARE(rig.openInput(0u), 0);
        QByteArray dump(40000, '\0');
        for (int i = 0; i < dump.size(); ++i) {
            dump[i] = char(i % 127);
        }
        dump[0] = char(0xF0);
        dump[dump.size() - 1] = char(0xF7);
        QVERIFY(rig.inject(0, dump));
        QVERIFY(rig.recorder.waitForCount(3));
        const auto records = rig.recorder.records();
        QCOMPARE(records.size(), std::size_t(3));
        QCOMPARE(records[0].data.size(), int(MaxMidiMessageLength));
        QCOMPARE(records[0].data + records[1].data + records[2].data, dump);
        QCOMPARE(records[1].timeStamp, records[0].timeStamp);
        QCOMPARE(records[2].timeStamp, records[0].timeStamp);
    }

};

QTEST_GUILESS_MAIN(PortOpenClose)
#include "tst_PortOpenClose.moc"
