#include "midi/ServiceTestKit.h"
#include "midi/contract/ServiceContractFixture.h"
#include "testkit/FaultInjectingMidiService.h"

// The peer is a second client on the same Loopback service: what it sends to "Loopback A"
// arrives from source "Loopback A", and it listens to "Loopback B" (each loop's source and
// destination are at the same index). The service is decorated so that the endpoints can vanish.

namespace {
class LoopbackPeer : public ContractPeer {
public:
    explicit LoopbackPeer(FaultInjectingMidiService& service) : m_service(service)
    {
        m_ports.open(m_service);
        m_service.connectSource(m_ports.input, m_service.getSource(1), nullptr);
    }
    // Nothing may be delivered to the recorder once it is gone.
    ~LoopbackPeer() override { m_service.disposeClient(m_ports.client); }

    QString sourceName() const override { return QStringLiteral("Loopback A"); }
    QString destinationName() const override { return QStringLiteral("Loopback B"); }
    bool send(const QByteArray& event) override { return m_ports.send(m_service.getDestination(0), event) == 0; }
    bool waitForBytes(int count) override { return m_ports.recorder.waitForBytes(count); }
    QByteArray takeReceived() override { return m_ports.recorder.takeReceived(); }
    void vanish() override { m_service.removeServiceEndpoints(); }

private:
    FaultInjectingMidiService& m_service;
    ServicePorts m_ports;
};

class LoopbackContractFixture : public ServiceContractFixture {
public:
    std::unique_ptr<MidiService> createService() override { return std::make_unique<FaultInjectingMidiService>(); }
    std::unique_ptr<ContractPeer> createPeer(MidiService& service) override
    {
        return std::make_unique<LoopbackPeer>(static_cast<FaultInjectingMidiService&>(service));
    }
};
}

std::unique_ptr<ServiceContractFixture> makeLoopbackContractFixture()
{
    return std::make_unique<LoopbackContractFixture>();
}
