#pragma once

#include "persistence/SettingsStore.h"

#include <QStringList>

#include <array>
#include <memory>

class Midi;
class MidiClient;
class MidiInputPort;
class MidiOutputPort;
class MidiService;

// The MIDI client with its two input and two output ports, each reached by direction and group,
// so that what the main window does with an input port and with an output port is written once.
class PortSelection {
public:
    using Direction = SettingsStore::PortDirection;
    static constexpr unsigned int GroupCount = 2;

    // All four ports share one time base, taken here, so that their time stamps agree.
    explicit PortSelection(MidiService& service);
    ~PortSelection();
    PortSelection(const PortSelection&) = delete;
    PortSelection& operator=(const PortSelection&) = delete;

    MidiInputPort* inputPort(unsigned int group) const { return m_inputPorts.at(group).get(); }
    MidiOutputPort* outputPort(unsigned int group) const { return m_outputPorts.at(group).get(); }
    static bool hasGroup(unsigned int group) { return group < GroupCount; }

    // True on success; a failed open leaves the port unassigned.
    bool open(Direction direction, unsigned int group, unsigned int portIndex);
    bool open(Direction direction, unsigned int group, const QString& name);
    bool close(Direction direction, unsigned int group);
    // "No Assign" when nothing is open.
    QString currentName(Direction direction, unsigned int group) const;
    // "No Assign" followed by the port layer's names; currentIndex is the position of the
    // current name in that list (0 when not found).
    void getPortList(Direction direction, unsigned int group, QStringList& names, unsigned int& currentIndex);
    unsigned int currentIndex(Direction direction, unsigned int group);

private:
    Midi* port(Direction direction, unsigned int group) const;

    // Destroyed bottom up: the input ports with their delivery threads, the output ports, then
    // the client every port was made from.
    std::unique_ptr<MidiClient> m_client;
    std::array<std::unique_ptr<MidiOutputPort>, GroupCount> m_outputPorts;
    std::array<std::unique_ptr<MidiInputPort>, GroupCount> m_inputPorts;
};
