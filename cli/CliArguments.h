#pragma once

#include <QString>
#include <QStringList>

// What the command line of tulvar-midi-cli asks for: one command with its options.
struct CliArguments {
    enum class Command { None, List, Send, Monitor, Request };

    static CliArguments parse(QStringList const& arguments);
    static QString usage();

    Command command = Command::None;
    bool showHelp = false;
    bool showVersion = false;
    // The value given with --midi-backend, empty when absent (TULVAR_MIDI_BACKEND then applies).
    QString midiBackend;
    bool json = false;
    bool raw = false;
    bool showTime = false;
    bool showDetail = false;
    QString to;
    QString from;
    QString file;     // send: the message text or .syx file to send
    QString syxFile;  // monitor: where received exclusives are written
    int interval = 0; // milliseconds after every system exclusive
    int count = 0;    // 0: no limit
    // Seconds: of silence for monitor, of waiting for the answer for request; below 0 for none.
    double timeout = -1.0;
    QStringList texts;
    // A mistake on the command line; empty when all is well.
    QString error;
};
