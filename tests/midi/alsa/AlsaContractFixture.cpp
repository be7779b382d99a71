#include "AlsaPeerClient.h"

#include <QFileInfo>

// The ALSA service against the sequencer of the guest of scripts/alsa-vm.sh (TULVAR_ALSA_GUEST),
// where a missing one fails the run; the peer is a second sequencer client of the test.

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
