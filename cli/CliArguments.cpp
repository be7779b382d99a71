#include "cli/CliArguments.h"

#include "engine/MidiBulkIntervalManager.h"

namespace {

struct OptionValue {
    bool matched = false;
    bool missing = false;
    QString value;
};

// Takes "--name=value" or "--name value" at arguments[i], advancing i past a separate value.
OptionValue takeValue(QStringList const& arguments, int& i, QLatin1String name)
{
    OptionValue result;
    QString const& argument = arguments.at(i);
    if (argument == name) {
        result.matched = true;
        if (i + 1 >= arguments.size()) {
            result.missing = true;
        } else {
            result.value = arguments.at(++i);
        }
    } else if (argument.startsWith(name + QLatin1Char('='))) {
        result.matched = true;
        result.value = argument.mid(name.size() + 1);
    }
    return result;
}

bool allows(CliArguments::Command command, std::initializer_list<CliArguments::Command> commands)
{
    for (CliArguments::Command c : commands) {
        if (c == command) {
            return true;
        }
    }
    return false;
}

} // namespace

CliArguments CliArguments::parse(QStringList const& arguments)
{
    using C = Command;
    CliArguments result;
    bool optionsEnded = false;
    auto fail = [&result](QString const& text) {
        result.error = text;
        return result;
    };
    for (int i = 1; i < arguments.size(); ++i) {
        QString const& argument = arguments.at(i);
        const bool option = !optionsEnded && argument.startsWith(QLatin1Char('-')) && argument != QLatin1String("-");
        if (!option) {
            if (result.command == C::None) {
                if (argument == QLatin1String("list")) {
                    result.command = C::List;
                } else if (argument == QLatin1String("send")) {
                    result.command = C::Send;
                } else if (argument == QLatin1String("monitor")) {
                    result.command = C::Monitor;
                } else if (argument == QLatin1String("request")) {
                    result.command = C::Request;
                } else {
                    return fail(QStringLiteral("unknown command \"%1\" (use list, send, monitor or request)").arg(argument));
                }
            } else if (allows(result.command, {C::Send, C::Request})) {
                result.texts.append(argument);
            } else {
                return fail(QStringLiteral("unexpected argument \"%1\"").arg(argument));
            }
            continue;
        }
        if (argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            result.showHelp = true;
            continue;
        }
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            result.showVersion = true;
            continue;
        }
        struct Flag {
            const char* name;
            bool* target;
            std::initializer_list<C> commands;
        };
        const Flag flags[] = {
            {"--json", &result.json, {C::List, C::Monitor, C::Request}},
            {"--raw", &result.raw, {C::Send}},
            {"--time", &result.showTime, {C::Monitor, C::Request}},
            {"--detail", &result.showDetail, {C::Monitor, C::Request}},
        };
        bool handled = false;
        for (Flag const& flag : flags) {
            if (argument == QLatin1String(flag.name)) {
                if (!allows(result.command, flag.commands)) {
                    return fail(QStringLiteral("%1 does not belong here").arg(argument));
                }
                *flag.target = true;
                handled = true;
            }
        }
        if (handled) {
            continue;
        }
        struct Valued {
            const char* name;
            QString* target;
            std::initializer_list<C> commands;
        };
        QString intervalText;
        QString countText;
        QString timeoutText;
        const Valued valued[] = {
            {"--midi-backend", &result.midiBackend, {C::None, C::List, C::Send, C::Monitor, C::Request}},
            {"--to", &result.to, {C::Send, C::Request}},
            {"--from", &result.from, {C::Monitor, C::Request}},
            {"--file", &result.file, {C::Send}},
            {"--syx", &result.syxFile, {C::Monitor}},
            {"--interval", &intervalText, {C::Send}},
            {"--count", &countText, {C::Monitor}},
            {"--timeout", &timeoutText, {C::Monitor, C::Request}},
        };
        for (Valued const& entry : valued) {
            const OptionValue value = takeValue(arguments, i, QLatin1String(entry.name));
            if (!value.matched) {
                continue;
            }
            if (value.missing) {
                return fail(QStringLiteral("%1 needs a value").arg(QLatin1String(entry.name)));
            }
            if (!allows(result.command, entry.commands)) {
                return fail(QStringLiteral("%1 does not belong here").arg(QLatin1String(entry.name)));
            }
            *entry.target = value.value;
            handled = true;
            break;
        }
        if (!handled) {
            return fail(QStringLiteral("unknown option \"%1\"").arg(argument));
        }
        bool ok = true;
        if (!intervalText.isNull()) {
            result.interval = intervalText.toInt(&ok);
            if (!ok || result.interval < 0 || result.interval > MidiBulkIntervalManager::MaximumInterval) {
                return fail(QStringLiteral("--interval takes 0 to %1 milliseconds").arg(MidiBulkIntervalManager::MaximumInterval));
            }
        } else if (!countText.isNull()) {
            result.count = countText.toInt(&ok);
            if (!ok || result.count < 1) {
                return fail(QStringLiteral("--count takes a number of messages from 1"));
            }
        } else if (!timeoutText.isNull()) {
            result.timeout = timeoutText.toDouble(&ok);
            if (!ok || !(result.timeout > 0) || result.timeout > 86400) {
                return fail(QStringLiteral("--timeout takes seconds above 0"));
            }
        }
    }

    if (result.showHelp || result.showVersion) {
        return result;
    }
    const QString backend = result.midiBackend.trimmed().toLower();
    if (!result.midiBackend.isNull() && backend != QLatin1String("auto") && backend != QLatin1String("alsa")
        && backend != QLatin1String("jack") && backend != QLatin1String("loopback")) {
        return fail(QStringLiteral("unknown MIDI backend \"%1\" (use auto, alsa, jack or loopback)").arg(result.midiBackend));
    }
    result.midiBackend = backend;
    switch (result.command) {
    case C::None:
        return fail(QStringLiteral("a command is missing (list, send, monitor or request)"));
    case C::List:
        break;
    case C::Send:
        if (result.to.isEmpty()) {
            return fail(QStringLiteral("send needs --to NAME"));
        }
        if (result.texts.isEmpty() == result.file.isEmpty()) {
            return fail(QStringLiteral("send takes either message text or --file"));
        }
        break;
    case C::Monitor:
        if (result.from.isEmpty()) {
            return fail(QStringLiteral("monitor needs --from NAME"));
        }
        break;
    case C::Request:
        if (result.to.isEmpty() || result.from.isEmpty()) {
            return fail(QStringLiteral("request needs --to OUT and --from IN"));
        }
        if (result.texts.isEmpty()) {
            return fail(QStringLiteral("request needs the message text to send"));
        }
        break;
    }
    return result;
}

QString CliArguments::usage()
{
    return QStringLiteral(
        "Usage: tulvar-midi-cli [--midi-backend=NAME] COMMAND [options]\n"
        "Tulvar MIDI from the command line: MIDI ports, messages and the In monitor for scripts.\n"
        "\n"
        "Commands:\n"
        "  list [--json]\n"
        "      The inputs and outputs of the MIDI service, one per line: direction, index,\n"
        "      display name and unique ID, separated by tabs; --json: one JSON object a line.\n"
        "  send --to NAME [--interval MS] [--raw] (TEXT... | --file FILE)\n"
        "      Sends hexadecimal message text (the editor's syntax: byte pairs in either case,\n"
        "      spaces, commas, tabs, line breaks and // comments), a text file or a .syx file.\n"
        "      Messages go out whole, with the bulk interval (0 to 1000 ms, default 0) after\n"
        "      every system exclusive; --raw sends the bytes as they stand in 4,096-byte units.\n"
        "  monitor --from NAME [--time] [--detail] [--count N] [--timeout S] [--syx FILE] [--json]\n"
        "      Prints every received message as the In monitor shows it; ends after N messages,\n"
        "      after S seconds of silence or at Ctrl+C. --syx writes the received system\n"
        "      exclusives to FILE; --json prints {\"line\", \"bytes\"} objects.\n"
        "  request --to OUT --from IN [--timeout S] [--time] [--detail] [--json] TEXT...\n"
        "      Sends the message and prints the first system exclusive that comes back\n"
        "      (waits 5 seconds unless --timeout says otherwise).\n"
        "\n"
        "Options:\n"
        "  -h, --help               Show this help and exit.\n"
        "  -v, --version            Show the name and version and exit.\n"
        "  --midi-backend=NAME      The MIDI service: auto (the default), alsa, jack or loopback.\n"
        "                           TULVAR_MIDI_BACKEND names one too; the option wins.\n"
        "\n"
        "Exit status:\n"
        "  0  success\n"
        "  1  a timeout, a failed send or a file that could not be written\n"
        "  2  a usage error or an unknown port name (the available ports are listed)\n"
        "  3  a message text error (with its line and column)\n"
        "  4  the MIDI service cannot be opened\n");
}
