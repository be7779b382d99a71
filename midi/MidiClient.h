#pragma once

#include "midi/MidiService.h"

// The application's one connection to the MIDI service. The service is not owned: it outlives
// the client and every port made from it.
class MidiClient {
public:
    explicit MidiClient(MidiService& service);
    virtual ~MidiClient();

    MidiClient(const MidiClient&) = delete;
    MidiClient& operator=(const MidiClient&) = delete;

    MidiService& service() const { return m_service; }
    MidiClientRef clientRef() const { return m_clientRef; }

private:
    MidiService& m_service;
    MidiClientRef m_clientRef = InvalidPortRef;
};
