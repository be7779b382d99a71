#include "app/PortSelection.h"

#include "midi/MidiClient.h"
#include "midi/MidiConstants.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "support/TimeFunctions.h"

PortSelection::PortSelection(MidiService& service) : m_client(std::make_unique<MidiClient>(service))
{
    const unsigned long long hostTimeAtStart = getHostTimeInMilliseconds();
    const unsigned int timeOfDayAtStart = getCurrentTimeInMilliseconds();
    for (unsigned int group = 0; group < GroupCount; ++group) {
        m_inputPorts.at(group) = std::make_unique<MidiInputPort>(m_client.get(), MaxMidiMessageLength, group,
                                                                 hostTimeAtStart, timeOfDayAtStart);
    }
    for (unsigned int group = 0; group < GroupCount; ++group) {
        m_outputPorts.at(group) = std::make_unique<MidiOutputPort>(m_client.get(), MaxMidiMessageLength, group,
                                                                   hostTimeAtStart, timeOfDayAtStart);
    }
}

PortSelection::~PortSelection() = default;

Midi* PortSelection::port(Direction direction, unsigned int group) const
{
    if (!hasGroup(group)) {
        return nullptr;
    }
    return direction == Direction::Input ? static_cast<Midi*>(inputPort(group)) : outputPort(group);
}

bool PortSelection::open(Direction direction, unsigned int group, unsigned int portIndex)
{
    if (!hasGroup(group)) {
        return false;
    }
    return (direction == Direction::Input ? inputPort(group)->openInputPort(portIndex)
                                          : outputPort(group)->openOutputPort(portIndex))
        == 0;
}

bool PortSelection::open(Direction direction, unsigned int group, const QString& name)
{
    if (!hasGroup(group)) {
        return false;
    }
    return (direction == Direction::Input ? inputPort(group)->openInputPort(name)
                                          : outputPort(group)->openOutputPort(name))
        == 0;
}

bool PortSelection::close(Direction direction, unsigned int group)
{
    if (!hasGroup(group)) {
        return false;
    }
    return (direction == Direction::Input ? inputPort(group)->closeInputPort() : outputPort(group)->closeOutputPort())
        == 0;
}

QString PortSelection::currentName(Direction direction, unsigned int group) const
{
    QString name = NoAssignPortName;
    if (Midi* midi = port(direction, group)) {
        midi->getCurrentPortName(name);
    }
    return name;
}

void PortSelection::getPortList(Direction direction, unsigned int group, QStringList& names,
                                unsigned int& currentIndex)
{
    names = QStringList{NoAssignPortName};
    currentIndex = 0;
    if (!hasGroup(group)) {
        return;
    }
    names.append(direction == Direction::Input ? inputPort(group)->getInputPortNameList()
                                               : outputPort(group)->getOutputPortNameList());
    currentIndex = unsigned(qMax(0, names.indexOf(currentName(direction, group))));
}

unsigned int PortSelection::currentIndex(Direction direction, unsigned int group)
{
    QStringList names;
    unsigned int index = 0;
    getPortList(direction, group, names, index);
    return index;
}
