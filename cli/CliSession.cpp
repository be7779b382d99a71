#include "cli/CliSession.h"

#include "cli/CliExit.h"
#include "midi/MidiConstants.h"
#include "midi/MidiServiceFactory.h"
#include "support/TimeFunctions.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

CliSession::CliSession() = default;

CliSession::~CliSession()
{
    m_input.reset();
    m_output.reset();
    m_client.reset();
    m_service.reset();
}

int CliSession::open(QString const& backendOption)
{
    const QString choice = MidiServiceFactory::backendChoice(backendOption);
    QString used;
    m_service = MidiServiceFactory::create(backendOption, &used);
    // A script that names a service must not silently talk to the built-in loopback instead.
    if (choice != QLatin1String("auto") && used != choice) {
        std::fprintf(stderr, "tulvar-midi-cli: the %s MIDI service cannot be opened\n", qPrintable(choice));
        return ExitNoService;
    }
    m_client = std::make_unique<MidiClient>(*m_service);
    if (m_client->clientRef() == InvalidPortRef) {
        std::fprintf(stderr, "tulvar-midi-cli: the %s MIDI service refused a client\n", qPrintable(used));
        return ExitNoService;
    }
    const unsigned long long hostTimeAtStart = getHostTimeInMilliseconds();
    const unsigned int timeOfDayAtStart = getCurrentTimeInMilliseconds();
    m_input = std::make_unique<MidiInputPort>(m_client.get(), MaxMidiMessageLength, 0, hostTimeAtStart,
                                              timeOfDayAtStart);
    m_output = std::make_unique<MidiOutputPort>(m_client.get(), MaxMidiMessageLength, 0, hostTimeAtStart,
                                                timeOfDayAtStart);
    return ExitSuccess;
}

void CliSession::printPorts(Direction direction, bool json, FILE* stream, QString const& indent)
{
    const bool input = direction == Direction::Input;
    const unsigned int count = input ? m_service->getNumberOfSources() : m_service->getNumberOfDestinations();
    for (unsigned int index = 0; index < count; ++index) {
        const MidiEndpointRef endpoint = input ? m_service->getSource(index) : m_service->getDestination(index);
        QString name;
        std::int32_t uniqueId = 0;
        if (m_service->getStringProperty(endpoint, MidiStringProperty::DisplayName, &name) != 0) {
            continue;
        }
        m_service->getIntegerProperty(endpoint, MidiIntegerProperty::UniqueId, &uniqueId);
        const QString directionWord = input ? QStringLiteral("input") : QStringLiteral("output");
        QByteArray line;
        if (json) {
            const QJsonObject object{{QStringLiteral("direction"), directionWord},
                                     {QStringLiteral("index"), int(index)},
                                     {QStringLiteral("name"), name},
                                     {QStringLiteral("uniqueId"), int(uniqueId)}};
            line = QJsonDocument(object).toJson(QJsonDocument::Compact);
        } else {
            line = (indent + directionWord + QLatin1Char('\t') + QString::number(index) + QLatin1Char('\t') + name
                    + QLatin1Char('\t') + QString::number(uniqueId))
                       .toUtf8();
        }
        line.append('\n');
        std::fwrite(line.constData(), 1, std::size_t(line.size()), stream);
    }
}

void CliSession::list(bool json)
{
    printPorts(Direction::Input, json, stdout, QString());
    printPorts(Direction::Output, json, stdout, QString());
    std::fflush(stdout);
}

int CliSession::openOutput(QString const& name)
{
    if (!m_output->getOutputPortNameList().contains(name)) {
        std::fprintf(stderr, "tulvar-midi-cli: no output named \"%s\"; the outputs are:\n", qPrintable(name));
        printPorts(Direction::Output, false, stderr, QStringLiteral("  "));
        return ExitUsage;
    }
    if (m_output->openOutputPort(name) != 0) {
        std::fprintf(stderr, "tulvar-midi-cli: the output \"%s\" cannot be opened\n", qPrintable(name));
        return ExitFailed;
    }
    return ExitSuccess;
}

int CliSession::openInput(QString const& name, ReceivedMidiCallbackFunc callback, void* context)
{
    if (!m_input->getInputPortNameList().contains(name)) {
        std::fprintf(stderr, "tulvar-midi-cli: no input named \"%s\"; the inputs are:\n", qPrintable(name));
        printPorts(Direction::Input, false, stderr, QStringLiteral("  "));
        return ExitUsage;
    }
    m_input->setReceivedMidiCallbackFunc(callback, context);
    if (m_input->openInputPort(name) != 0) {
        std::fprintf(stderr, "tulvar-midi-cli: the input \"%s\" cannot be opened\n", qPrintable(name));
        return ExitFailed;
    }
    return ExitSuccess;
}

void CliSession::closeInput()
{
    if (m_input) {
        m_input->closeInputPort();
    }
}

void CliSession::closeOutput()
{
    if (m_output) {
        m_output->closeOutputPort();
    }
}
