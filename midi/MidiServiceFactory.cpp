#include "midi/MidiServiceFactory.h"

#include "midi/alsa/AlsaMidiService.h"
#include "midi/jack/JackMidiService.h"
#include "midi/loopback/LoopbackMidiService.h"

#include <QtGlobal>

#include <cstdio>

namespace {
const char* const EnvironmentName = "TULVAR_MIDI_BACKEND";
const QString AutoBackend = QStringLiteral("auto");
const QString AlsaBackend = QStringLiteral("alsa");
const QString JackBackend = QStringLiteral("jack");
const QString LoopbackBackend = QStringLiteral("loopback");

void note(const QString& text)
{
    std::fprintf(stderr, "Tulvar MIDI: %s\n", qPrintable(text));
}
}

QString MidiServiceFactory::backendChoice(const QString& optionValue)
{
    QString choice = optionValue.trimmed().toLower();
    if (choice.isEmpty()) {
        choice = qEnvironmentVariable(EnvironmentName).trimmed().toLower();
    }
    if (choice.isEmpty()) {
        return AutoBackend;
    }
    if (choice != AutoBackend && choice != AlsaBackend && choice != JackBackend && choice != LoopbackBackend) {
        note(QStringLiteral("unknown MIDI backend \"%1\" (expected auto, alsa, jack or loopback); using auto")
                 .arg(choice));
        return AutoBackend;
    }
    return choice;
}

std::unique_ptr<MidiService> MidiServiceFactory::create(const QString& optionValue, QString* usedBackend)
{
    const QString choice = backendChoice(optionValue);
    std::unique_ptr<MidiService> service;
    QString used = LoopbackBackend;
    if (choice == AlsaBackend || choice == AutoBackend) {
        auto alsa = std::make_unique<AlsaMidiService>();
        if (alsa->isOpen()) {
            service = std::move(alsa);
            used = AlsaBackend;
        }
    }
    // Only a server that already runs: JackNoStartServer, never one started for us.
    if (!service && (choice == JackBackend || choice == AutoBackend)) {
        auto jack = std::make_unique<JackMidiService>();
        if (jack->isOpen()) {
            service = std::move(jack);
            used = JackBackend;
        }
    }
    if (!service) {
        if (choice == AlsaBackend || choice == JackBackend) {
            note(QStringLiteral("the %1 MIDI backend is not available; using loopback").arg(choice));
        } else if (choice == AutoBackend) {
            note(QStringLiteral("no ALSA sequencer or JACK server available; using loopback"));
        }
        service = std::make_unique<LoopbackMidiService>();
    }
    if (usedBackend != nullptr) {
        *usedBackend = used;
    }
    return service;
}
