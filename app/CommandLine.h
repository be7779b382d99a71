#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: tulvar-midi [--midi-backend=WORD] [Qt's standard options]
// [project file], --help or --version.
class CommandLine {
public:
    // The MIDI service words; the option wins over TULVAR_MIDI_BACKEND, auto is the default.
    static QStringList const MidiBackendNames;

    // `arguments` includes the program name; `environmentBackend` is TULVAR_MIDI_BACKEND.
    static CommandLine parse(QStringList const& arguments, QString const& environmentBackend);

    static QString usage();
    static QString versionText();

    bool showHelp = false;
    bool showVersion = false;
    // The project file to open at start-up, empty for none.
    QString projectFile;
    // The value given with --midi-backend, empty when the option is absent.
    QString midiBackendOption;
    // The service to use: one of MidiBackendNames.
    QString midiBackend = QStringLiteral("auto");
    // The window system named with -platform, empty when the option is absent.
    QString platform;
    // A mistake on the command line, to be shown before exiting; empty when all is well.
    QString error;
    // A note about an ignored TULVAR_MIDI_BACKEND value; start-up goes on.
    QString warning;
};
