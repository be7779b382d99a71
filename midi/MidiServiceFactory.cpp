#include "midi/MidiServiceFactory.h"

#include "midi/alsa/AlsaMidiService.h"
#include "midi/jack/JackMidiService.h"
#include "midi/loopback/LoopbackMidiService.h"

#include <QStringList>
#include <QtGlobal>

#include <cstdio>

namespace {
const char* const EnvironmentName = "TULVAR_MIDI_BACKEND";
const QString AutoBackend = QStringLiteral("auto");
const QString LoopbackBackend = QStringLiteral("loopback");

// The service, or null when its MIDI system cannot be used right now.
template <class Service>
std::unique_ptr<MidiService> openIfAvailable()
{
    auto service = std::make_unique<Service>();
    if (!service->isOpen()) {
        return nullptr;
    }
    return service;
}

struct MidiServiceEntry {
    QString name;
    std::unique_ptr<MidiService> (*open)();
};

// Every service by the word that chooses it, in the order "auto" tries them; the last one
// always opens.
const MidiServiceEntry MidiServiceTable[] = {
    {QStringLiteral("alsa"), &openIfAvailable<AlsaMidiService>},
    {QStringLiteral("jack"), &openIfAvailable<JackMidiService>},
    {LoopbackBackend, &openIfAvailable<LoopbackMidiService>},
};

QStringList backendNames()
{
    QStringList names;
    for (const MidiServiceEntry& entry : MidiServiceTable) {
        names.append(entry.name);
    }
    return names;
}

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
    const QStringList names = backendNames();
    if (choice != AutoBackend && !names.contains(choice)) {
        QStringList words = QStringList(AutoBackend) + names;
        const QString last = words.takeLast();
        note(QStringLiteral("unknown MIDI backend \"%1\" (expected %2 or %3); using auto")
                 .arg(choice, words.join(QStringLiteral(", ")), last));
        return AutoBackend;
    }
    return choice;
}

std::unique_ptr<MidiService> MidiServiceFactory::create(const QString& optionValue, QString* usedBackend)
{
    const QString choice = backendChoice(optionValue);
    std::unique_ptr<MidiService> service;
    QString used = LoopbackBackend;
    for (const MidiServiceEntry& entry : MidiServiceTable) {
        if (choice == AutoBackend || choice == entry.name) {
            service = entry.open();
        }
        if (service) {
            used = entry.name;
            break;
        }
    }
    if (!service) {
        service = std::make_unique<LoopbackMidiService>();
    }
    if (used == LoopbackBackend && choice == AutoBackend) {
        note(QStringLiteral("no ALSA sequencer or JACK server available; using loopback"));
    } else if (used != choice && choice != AutoBackend) {
        note(QStringLiteral("the %1 MIDI backend is not available; using loopback").arg(choice));
    }
    if (usedBackend != nullptr) {
        *usedBackend = used;
    }
    return service;
}
