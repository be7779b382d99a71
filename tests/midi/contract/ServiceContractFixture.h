#pragma once

#include "midi/MidiService.h"

#include <QByteArray>
#include <QString>

#include <memory>

// How a MIDI service takes part in the contract suite: the suite asks its fixture for the
// service and for a peer, another program on the same service that plays the device.

class ContractPeer {
public:
    virtual ~ContractPeer() = default;

    // The peer's endpoints as the port layer's name lists show them.
    virtual QString sourceName() const = 0;
    virtual QString destinationName() const = 0;
    // One event (or packet) out of the peer's source; waits while the peer's queue is full.
    virtual bool send(const QByteArray& event) = 0;
    // Until count bytes not yet taken have arrived at the peer's destination (30 s at most).
    virtual bool waitForBytes(int count) = 0;
    // Everything arrived and not yet taken, as one byte stream.
    virtual QByteArray takeReceived() = 0;
    // The peer's endpoints disappear, as when a device is unplugged.
    virtual void vanish() = 0;
};

class ServiceContractFixture {
public:
    virtual ~ServiceContractFixture() = default;

    // Empty when the service can be tested here (starting what it needs); else why not.
    virtual QString unavailableReason() { return QString(); }
    // Whether an unavailable service fails the suite instead of skipping it.
    virtual bool mustRun() const { return true; }
    virtual std::unique_ptr<MidiService> createService() = 0;
    virtual std::unique_ptr<ContractPeer> createPeer(MidiService& service) = 0;
    // Whether the server or device behind the service can be taken away and brought back.
    virtual bool canTakeServiceAway() const { return false; }
    virtual void takeServiceAway() {}
    virtual bool bringServiceBack() { return true; }
};

// The source or destination whose name (not display name) is name, InvalidPortRef if none is.
inline MidiEndpointRef endpointNamed(MidiService& service, bool source, const QString& name)
{
    const unsigned int count = source ? service.getNumberOfSources() : service.getNumberOfDestinations();
    for (unsigned int i = 0; i < count; ++i) {
        const MidiEndpointRef ref = source ? service.getSource(i) : service.getDestination(i);
        QString value;
        if (service.getStringProperty(ref, MidiStringProperty::Name, &value) == 0 && value == name) {
            return ref;
        }
    }
    return InvalidPortRef;
}

std::unique_ptr<ServiceContractFixture> makeLoopbackContractFixture();
std::unique_ptr<ServiceContractFixture> makeJackContractFixture();
std::unique_ptr<ServiceContractFixture> makeAlsaContractFixture();
