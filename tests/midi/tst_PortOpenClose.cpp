#include "PortRig.h"

#include <QtTest>

Q_DECLARE_METATYPE(FaultInjectingMidiService::Property)

// Name lists, opening and closing ports when endpoints change underneath or cannot be read; a
// vanished device and endpoints that come and go are the service contract's.
class PortOpenClose : public QObject {
    Q_OBJECT

private slots:
    void reopeningAssignsNameAndIdAndClosesThePreviousSource()
    {
        PortRig rig;
        QCOMPARE(rig.openInput(0u), 0);
        QCOMPARE(rig.openInput(1u), 0);
        QCOMPARE(PortRig::nameOf(*rig.input), QStringLiteral("Loopback B"));
        QCOMPARE(rig.input->getCurrentPortIndex(), 1u);
        std::int32_t id = 0;
        rig.service->getIntegerProperty(rig.service->getSource(1), MidiIntegerProperty::UniqueId, &id);
        QCOMPARE(rig.input->getCurrentPortUniqueId(), id);
        QCOMPARE(rig.service->connectionCount(), 1);
        QVERIFY(rig.inject(0, hex("F8")));
        QVERIFY(rig.inject(1, hex("FA")));
        QVERIFY(rig.recorder.waitForCount(1));
        QCOMPARE(rig.recorder.records().size(), std::size_t(1));
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
        QCOMPARE(PortRig::nameOf(port), QStringLiteral("No Assign"));
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
        QCOMPARE(PortRig::nameOf(*rig.input), QStringLiteral("No Assign"));
    }

    void failedPropertyReadEmptiesTheList_data()
    {
        QTest::addColumn<bool>("sources");
        QTest::addColumn<FaultInjectingMidiService::Property>("property");
        QTest::newRow("source display name") << true << FaultInjectingMidiService::Property::DisplayName;
        QTest::newRow("destination unique ID") << false << FaultInjectingMidiService::Property::UniqueId;
    }

    void failedPropertyReadEmptiesTheList()
    {
        QFETCH(bool, sources);
        QFETCH(FaultInjectingMidiService::Property, property);
        PortRig rig;
        rig.service->setPropertyReadFails(sources ? rig.service->getSource(1) : rig.service->getDestination(1),
                                          property, true);
        MIDI_RESULT result = MIDI_RESULT_OK;
        const QStringList list =
            sources ? rig.input->getInputPortNameList(&result) : rig.output->getOutputPortNameList(&result);
        QVERIFY(list.isEmpty());
        QCOMPARE(result, MIDI_RESULT_ERROR);
        // With the list empty nothing can be opened by index or by name.
        if (sources) {
            QCOMPARE(rig.input->openInputPort(0u), 1);
            QCOMPARE(rig.input->openInputPort(QStringLiteral("Loopback A")), 1);
        } else {
            QCOMPARE(rig.output->openOutputPort(0u), 1);
            QCOMPARE(rig.output->openOutputPort(QStringLiteral("Loopback A")), 1);
        }
    }

    void openingByASharedDisplayNameTakesTheFirst()
    {
        PortRig rig;
        rig.service->removeServiceEndpoints();
        const MidiEndpointRef first = rig.service->addSource(QStringLiteral("Interface"), QStringLiteral("port 1"));
        rig.service->addSource(QStringLiteral("Interface"), QStringLiteral("port 2"));
        rig.service->addDestination(QStringLiteral("Other"));
        const MidiEndpointRef firstOut = rig.service->addDestination(QStringLiteral("Interface"));
        rig.service->addDestination(QStringLiteral("Interface"));

        QCOMPARE(rig.input->openInputPort(QStringLiteral("Interface")), 0);
        QCOMPARE(rig.input->getCurrentPortIndex(), 0u);
        std::int32_t firstId = 0;
        rig.service->getIntegerProperty(first, MidiIntegerProperty::UniqueId, &firstId);
        QCOMPARE(rig.input->getCurrentPortUniqueId(), firstId);

        QCOMPARE(rig.output->openOutputPort(QStringLiteral("Interface")), 0);
        QCOMPARE(rig.output->getCurrentPortIndex(), 1u);
        QCOMPARE(rig.transmit(hex("FE")), 0);
        QCOMPARE(rig.service->sentMessages(firstOut).size(), 1);
    }
};

QTEST_GUILESS_MAIN(PortOpenClose)
#include "tst_PortOpenClose.moc"
