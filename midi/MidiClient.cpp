#include "midi/MidiClient.h"

#include "support/CommonTexts.h"

MidiClient::MidiClient(MidiService& service) : m_service(service)
{
    if (m_service.createClient(ApplicationName, &m_clientRef) != 0) {
        m_clientRef = InvalidPortRef;
    }
}

MidiClient::~MidiClient()
{
    if (m_clientRef != InvalidPortRef) {
        m_service.disposeClient(m_clientRef);
    }
}
