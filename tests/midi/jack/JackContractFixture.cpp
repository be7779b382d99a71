#include "JackPeerClient.h"
#include "testkit/JackTestServer.h"
#include "midi/jack/JackMidiService.h"

// The JACK service against a private server; the peer is a libjack client of the test.

namespace {
class JackContractFixture : public ServiceContractFixture {
public:
    QString unavailableReason() override
    {
        if (!m_server.isRunning() && !m_server.start()) {
            return QStringLiteral("no JACK server could be started: ") + m_server.errorText();
        }
        return QString();
    }
    bool mustRun() const override { return JackTestServer::mustRun(); }
    std::unique_ptr<MidiService> createService() override { return std::make_unique<JackMidiService>(); }
    std::unique_ptr<ContractPeer> createPeer(MidiService&) override
    {
        auto peer = std::make_unique<JackPeerClient>();
        return peer->isOpen() ? std::move(peer) : nullptr;
    }
    bool canTakeServiceAway() const override { return true; }
    // As if the server crashed.
    void takeServiceAway() override { m_server.kill(); }
    bool bringServiceBack() override { return m_server.start(); }

private:
    JackTestServer m_server;
};
}

std::unique_ptr<ServiceContractFixture> makeJackContractFixture()
{
    return std::make_unique<JackContractFixture>();
}
