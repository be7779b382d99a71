#include "AlsaPeerClient.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/contract/ServiceContractFixture.h"

#include <QFileInfo>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// The ALSA service against the machine's sequencer; the peer is a second sequencer client of
// the test, read by a thread of its own so that a burst never stalls the program's sends.

namespace {
class AlsaPeer : public ContractPeer {
public:
    explicit AlsaPeer(MidiService& service)
    {
        if (!m_client->isOpen()) {
            return;
        }
        m_sourceName = contractEndpointName(service, true, m_client->clientId() * 256 + m_client->outputPort());
        m_destinationName = contractEndpointName(service, false, m_client->clientId() * 256 + m_client->inputPort());
        m_reader = std::thread([this] {
            while (!m_stop.load()) {
                const QByteArray bytes = m_client->receive(1 << 20, 50);
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received += bytes;
                m_arrived.notify_all();
            }
        });
    }

    ~AlsaPeer() override { vanish(); }

    bool isOpen() const { return m_client && m_client->isOpen(); }

    QString sourceName() const override { return m_sourceName; }
    QString destinationName() const override { return m_destinationName; }
    bool send(const QByteArray& event) override
    {
        std::lock_guard<std::mutex> lock(m_sendMutex);
        return m_client && m_client->send(event);
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
        m_stop.store(true);
        if (m_reader.joinable()) {
            m_reader.join();
        }
        std::lock_guard<std::mutex> lock(m_sendMutex);
        m_client.reset();
    }

private:
    std::unique_ptr<AlsaPeerClient> m_client = std::make_unique<AlsaPeerClient>();
    QString m_sourceName;
    QString m_destinationName;
    std::atomic<bool> m_stop{false};
    std::thread m_reader;
    std::mutex m_sendMutex;
    std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_received;
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
