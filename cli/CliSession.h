#pragma once

#include "midi/MidiClient.h"
#include "midi/MidiDataTransmissionThread.h"
#include "midi/MidiInputPort.h"
#include "midi/MidiOutputPort.h"
#include "midi/MidiService.h"

#include <QString>

#include <memory>

// The MIDI service with the program's one client and at most one input and one output port,
// opened by display name as the program's port menus do.
class CliSession {
public:
    CliSession();
    ~CliSession();

    CliSession(CliSession const&) = delete;
    CliSession& operator=(CliSession const&) = delete;

    // Opens the service of the choice (empty: TULVAR_MIDI_BACKEND, else auto). An exit status:
    // ExitNoService when a service named outright cannot be opened (auto falls back to loopback).
    int open(QString const& backendOption);

    // Prints every input, then every output; json: one object a line.
    void list(bool json);

    // Exit statuses: ExitUsage for an unknown name (with the available ports listed),
    // ExitFailed when the port cannot be opened.
    int openOutput(QString const& name);
    int openInput(QString const& name, ReceivedMidiCallbackFunc callback, void* context);

    MidiOutputPort& output() { return *m_output; }
    // Closes the input, which stops deliveries.
    void closeInput();
    // Closes the output once everything sent has left.
    void closeOutput();

private:
    enum class Direction { Input, Output };
    void printPorts(Direction direction, bool json, FILE* stream, QString const& indent);

    std::unique_ptr<MidiService> m_service;
    std::unique_ptr<MidiClient> m_client;
    std::unique_ptr<MidiInputPort> m_input;
    std::unique_ptr<MidiOutputPort> m_output;
};
