#include "app/CommandLine.h"

#include "support/CommonTexts.h"

QStringList const CommandLine::MidiBackendNames{QStringLiteral("auto"), QStringLiteral("alsa"),
                                               QStringLiteral("jack"), QStringLiteral("loopback")};

namespace {

QString const BackendOption = QStringLiteral("--midi-backend");

// Qt's standard options, which the application object takes out of the arguments itself. Qt
// accepts them with one dash or two; those with a value take it as the next argument, style and
// stylesheet also after "=".
struct QtStandardOption {
    char const* name;
    bool takesValue;
};
QtStandardOption const QtStandardOptions[] = {
    {"platform", true},    {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},   {"qwindowtitle", true},  {"geometry", true},
    {"title", true},       {"icon", true},               {"display", true},       {"name", true},
    {"visual", true},      {"session", true},            {"style", true},         {"stylesheet", true},
    {"reverse", false},    {"widgetcount", false},       {"testability", false},  {"sync", false},
    {"nograb", false},     {"dograb", false},
};

QtStandardOption const* findQtStandardOption(QString const& argument, QString& attachedValue)
{
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    int const equals = name.indexOf(QLatin1Char('='));
    if (equals >= 0 && (name.startsWith(QLatin1String("style=")) || name.startsWith(QLatin1String("stylesheet=")))) {
        attachedValue = name.mid(equals + 1);
        name.truncate(equals);
    }
    for (QtStandardOption const& option : QtStandardOptions) {
        if (name == QLatin1String(option.name)) {
            return &option;
        }
    }
    return nullptr;
}

QString unknownBackend(QString const& word)
{
    return QStringLiteral("unknown MIDI backend \"%1\" (use auto, alsa, jack or loopback)").arg(word);
}

} // namespace

CommandLine CommandLine::parse(QStringList const& arguments, QString const& environmentBackend)
{
    CommandLine result;
    bool backendGiven = false;
    bool optionsEnded = false;
    QString qtValue;
    for (int i = 1; i < arguments.size(); ++i) {
        QString const& argument = arguments.at(i);
        if (optionsEnded || !argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("-")) {
            if (!result.projectFile.isEmpty()) {
                result.error = QStringLiteral("only one project file can be opened: \"%1\"").arg(argument);
                return result;
            }
            result.projectFile = argument;
        } else if (argument == QLatin1String("--")) {
            optionsEnded = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            result.showHelp = true;
        } else if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            result.showVersion = true;
        } else if (QtStandardOption const* qtOption = findQtStandardOption(argument, qtValue)) {
            if (qtOption->takesValue && qtValue.isNull()) {
                if (i + 1 >= arguments.size()) {
                    result.error = QStringLiteral("%1 needs a value").arg(argument);
                    return result;
                }
                qtValue = arguments.at(++i);
            }
            if (qstrcmp(qtOption->name, "platform") == 0) {
                result.platform = qtValue;
            }
            qtValue = QString();
        } else if (argument == BackendOption || argument.startsWith(BackendOption + QLatin1Char('='))) {
            QString value;
            if (argument == BackendOption) {
                if (i + 1 >= arguments.size()) {
                    result.error = QStringLiteral("--midi-backend needs a value (auto, alsa, jack or loopback)");
                    return result;
                }
                value = arguments.at(++i);
            } else {
                value = argument.mid(BackendOption.size() + 1);
            }
            value = value.trimmed().toLower();
            if (!MidiBackendNames.contains(value)) {
                result.error = unknownBackend(value);
                return result;
            }
            result.midiBackendOption = value;
            result.midiBackend = value;
            backendGiven = true;
        } else {
            result.error = QStringLiteral("unknown option \"%1\"").arg(argument);
            return result;
        }
    }
    if (!backendGiven && !environmentBackend.trimmed().isEmpty()) {
        QString const value = environmentBackend.trimmed().toLower();
        if (MidiBackendNames.contains(value)) {
            result.midiBackend = value;
        } else {
            result.warning = QStringLiteral("TULVAR_MIDI_BACKEND: %1; using auto").arg(unknownBackend(value));
        }
    }
    return result;
}

QString CommandLine::usage()
{
    return QStringLiteral(
        "Usage: tulvar-midi [options] [project.tulvarmidi]\n"
        "Tulvar MIDI: MIDI tool for instrument developers.\n"
        "\n"
        "Options:\n"
        "  -h, --help               Show this help and exit.\n"
        "  -v, --version            Show the name and version and exit.\n"
        "  --midi-backend=NAME      The MIDI service: auto (the default), alsa, jack or loopback.\n"
        "                           TULVAR_MIDI_BACKEND names one too; the option wins. auto takes\n"
        "                           ALSA, else a running JACK server, else the built-in loopback.\n"
        "  -platform NAME, -style NAME, -stylesheet FILE, -reverse, and Qt's other standard options\n"
        "                           are passed on to Qt.\n"
        "\n"
        "Arguments:\n"
        "  project.tulvarmidi       A project file to open at start-up.\n");
}

QString CommandLine::versionText()
{
    return ApplicationName + QLatin1Char(' ') + ApplicationVersion + QLatin1Char('\n');
}
