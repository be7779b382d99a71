#pragma once

#include "persistence/WindowLayoutEntry.h"

#include <QList>
#include <QString>

class ModelIF;

// The settings file "TulvarMIDI.ini": preferences, filter, thru and bulk interval, the chosen
// port names, the working folders and the last window layout. Every pass opens the file, reads
// or writes its groups and closes it again. A missing, unreadable or hand-edited file never
// fails: whatever cannot be read as the right kind of value in the parameter's range is taken
// from the default, and write errors are not reported.
class SettingsStore {
public:
    enum class PortDirection { Input, Output };

    explicit SettingsStore(const QString& iniFilePath);

    // The first application configuration folder + "/TulvarMIDI.ini"; empty when the platform
    // names no such folder (then nothing is read or written).
    static QString defaultIniFilePath();
    QString getIniFilePath() const;
    // Creates the folder of the file with all missing parents.
    bool makeIniFileFolder() const;

    // Start-up reads, in the order the main window calls them.
    void restoreWorkingDirectories(ModelIF& model) const;
    void restoreMidiFilter(ModelIF& model) const;
    void restoreMidiThru(ModelIF& model) const;
    QString readPortName(PortDirection direction, unsigned int portGroup) const;
    void restorePreferences(ModelIF& model) const;

    // Written every time a port is chosen.
    void writePortName(PortDirection direction, unsigned int portGroup, const QString& name) const;

    // Written when the main window is destroyed: working folders, thru, preferences, filter.
    void storeParameters(ModelIF& model) const;

    // The SavePosition group: entries in the order they were written (the main window first),
    // skipping keys and values that do not make a window entry and identifiers outside 0-14.
    QList<WindowLayoutEntry> readWindowLayout() const;
    // Replaces the whole group; the first entry is expected to be the main window's.
    void writeWindowLayout(const QList<WindowLayoutEntry>& entries) const;

    static const char* portNameRegistrykey(PortDirection direction, unsigned int portGroup);
    // The key of one layout entry: 10-digit sequence number, window identifier, running number.
    static QString windowLayoutKey(int sequenceNumber, int windowId, int runningNumber);

private:
    QString m_iniFilePath;
};
