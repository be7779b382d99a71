#include "AlsaPeerClient.h"

#include <QFileInfo>

// The ALSA service against the machine's sequencer; the peer is a second sequencer client of
// the test. scripts/alsa-vm.sh runs it in a guest that has one (TULVAR_ALSA_GUEST is set
// there), where a missing sequencer fails the run instead of skipping it. The kernel's
// sequencer cannot be taken away from a running test.

namespace {
class AlsaContractFixture : public ServiceContractFixture {
public:
    QString unavailableReason() override
    {
        return QFileInfo::exists(QStringLiteral("/dev/snd/seq")) ? QString() : QStringLiteral("no ALSA sequencer here");
    }
    bool mustRun() const override { return qEnvironmentVariableIsSet("TULVAR_ALSA_GUEST"); }
    std::unique_ptr<MidiService> createService() override { return std::make_unique<AlsaMidiService>(); }
    std::unique_ptr<ContractPeer> createPeer(MidiService& service) override
    {
        auto peer = std::make_unique<AlsaPeerClient>();
        peer->sendWhenThereIsRoomIn(static_cast<AlsaMidiService&>(service));
        return peer->isOpen() ? std::move(peer) : nullptr;
    }
};
}

std::unique_ptr<ServiceContractFixture> makeAlsaContractFixture()
{
    return std::make_unique<AlsaContractFixture>();
}
