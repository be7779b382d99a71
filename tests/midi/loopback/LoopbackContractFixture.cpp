#include "midi/contract/ServiceContractFixture.h"
#include "testkit/FaultInjectingMidiService.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

// The peer is a second client on the same Loopback service: what it sends to "Loopback A"
// arrives from source "Loopback A", and it listens to "Loopback B". The service is decorated so
// that the endpoints can vanish.

namespace {
const QString PeerSourceName = QStringLiteral("Loopback A");
const QString PeerDestinationName = QStringLiteral("Loopback B");

MidiEndpointRef endpointNamed(MidiService& service, bool source, const QString& name)
{
    const unsigned int count = source ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        const MidiEndpointRef ref = source ? service.getSource(i) : service.getDestination(i);
        QString value;
        if (service.getStringProperty(ref, MidiStringProperty::DisplayName, &value) == 0 && value == name) {
            return ref;
        }
    }
    return InvalidPortRef;
}

class LoopbackPeer : public ContractPeer {
public:
    explicit LoopbackPeer(FaultInjectingMidiService& service) : m_service(service)
    {
        m_service.createClient(QStringLiteral("Peer"), &m_client);
        m_service.createInputPort(m_client, QStringLiteral("in"), &LoopbackPeer::readProc, this, &m_input);
        m_service.createOutputPort(m_client, QStringLiteral("out"), &m_output);
        m_service.connectSource(m_input, endpointNamed(m_service, true, PeerDestinationName), nullptr);
        m_sendTo = endpointNamed(m_service, false, PeerSourceName);
    }

    ~LoopbackPeer() override { m_service.disposeClient(m_client); }

    QString sourceName() const override { return PeerSourceName; }
    QString destinationName() const override { return PeerDestinationName; }

    bool send(const QByteArray& event) override
    {
        const MidiPacket packet{0, std::uint16_t(event.size()), reinterpret_cast<const unsigned char*>(event.constData())};
        return m_service.send(m_output, m_sendTo, packet) == 0;
    }

    bool waitForBytes(int count) override
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(30), [&] { return m_received.size() >= count; });
    }

    QByteArray takeReceived() override
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        QByteArray taken;
        taken.swap(m_received);
        return taken;
    }

    void vanish() override
    {
        for (const bool source : {true, false}) {
            for (const QString& name : {PeerSourceName, PeerDestinationName}) {
                m_service.removeEndpoint(endpointNamed(m_service, source, name));
            }
        }
    }

private:
    static void readProc(const MidiPacket* packets, unsigned int count, void* readProcRefCon, void*)
    {
        auto* self = static_cast<LoopbackPeer*>(readProcRefCon);
        std::lock_guard<std::mutex> lock(self->m_mutex);
        for (unsigned int i = 0; i < count; ++i) {
            self->m_received.append(reinterpret_cast<const char*>(packets[i].data), packets[i].length);
        }
        self->m_arrived.notify_all();
    }

    FaultInjectingMidiService& m_service;
    MidiClientRef m_client = InvalidPortRef;
    MidiPortRef m_input = InvalidPortRef;
    MidiPortRef m_output = InvalidPortRef;
    MidiEndpointRef m_sendTo = InvalidPortRef;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
};

class LoopbackContractFixture : public ServiceContractFixture {
public:
    QString unavailableReason() override { return QString(); }
    bool mustRun() const override { return true; }
    std::unique_ptr<MidiService> createService() override { return std::make_unique<FaultInjectingMidiService>(); }
    std::unique_ptr<ContractPeer> createPeer(MidiService& service) override
    {
        return std::make_unique<LoopbackPeer>(static_cast<FaultInjectingMidiService&>(service));
    }
    // Nothing outside the program to lose.
    bool canTakeServiceAway() const override { return false; }
    void takeServiceAway() override {}
    bool bringServiceBack() override { return true; }
};
}

std::unique_ptr<ServiceContractFixture> makeLoopbackContractFixture()
{
    return std::make_unique<LoopbackContractFixture>();
}
