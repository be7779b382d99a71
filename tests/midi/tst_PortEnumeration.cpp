#include "PortRig.h"

#include <QtTest>

Q_DECLARE_METATYPE(FaultInjectingMidiService::Property)

// Name lists and opening by name when reading an endpoint fails or names are shared. Endpoints
// that come and go, and a service without any, are the service contract's.
class PortEnumeration : public QObject {
    Q_OBJECT

private slots:
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
        PortRig rig(PortRig::Endpoints::None);
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

QTEST_GUILESS_MAIN(PortEnumeration)
#include "tst_PortEnumeration.moc"
