#include "AlsaPeerClient.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/contract/ServiceContractFixture.h"

#include <QFileInfo>

// The ALSA service against the machine's sequencer; the peer is a second sequencer client of
// the test. Its endpoints are found by their unique IDs, client × 256 + port.

namespace {
class AlsaPeer : public ContractPeer {
public:
    explicit AlsaPeer(MidiService& service)
    {
        if (m_client.isOpen()) {
            const int base = m_client.clientId() * 256;
            m_sourceName = contractEndpointName(service, true, base + m_client.outputPort());
            m_destinationName = contractEndpointName(service, false, base + m_client.inputPort());
        }
    }

    bool isOpen() const { return m_client.isOpen() && !m_sourceName.isEmpty() && !m_destinationName.isEmpty(); }

    QString sourceName() const override { return m_sourceName; }
    QString destinationName() const override { return m_destinationName; }
    bool send(const QByteArray& event) override { return m_client.send(event); }
    bool waitForBytes(int count) override { return m_client.waitForBytes(count); }
    QByteArray takeReceived() override { return m_client.takeReceived(); }
    void vanish() override { m_client.close(); }

private:
    AlsaPeerClient m_client;
    QString m_sourceName;
    QString m_destinationName;
};

class AlsaContractFixture : public ServiceContractFixture {
public:
    QString unavailableReason() override
    {
        return QFileInfo::exists(QStringLiteral("/dev/snd/seq")) ? QString() : QStringLiteral("no ALSA sequencer here");
    }
    bool mustRun() const override { return false; }
    std::unique_ptr<MidiService> createService() override { return std::make_unique<AlsaMidiService>(); }
    std::unique_ptr<ContractPeer> createPeer(MidiService& service) override
    {
        auto peer = std::make_unique<AlsaPeer>(service);
        return peer->isOpen() ? std::move(peer) : nullptr;
    }
    // The kernel's sequencer cannot be taken away from a running test.
    bool canTakeServiceAway() const override { return false; }
    void takeServiceAway() override {}
    bool bringServiceBack() override { return true; }
};
}

std::unique_ptr<ServiceContractFixture> makeAlsaContractFixture()
{
    return std::make_unique<AlsaContractFixture>();
}
