#include "persistence/SettingsStore.h"

#include "engine/MessageTables.h"
#include "model/ModelIF.h"
#include "model/TulvarMidiParameters.h"
#include "persistence/RegistryKeys.h"
#include "persistence/WindowRestorationInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <limits>

namespace {

struct PreferenceKey {
    const char* key;
    unsigned int parameterId;
    bool isBool;
};

// The Preferences group in the order it is read and written.
constexpr PreferenceKey PreferenceRegistrykeyTable[] = {
    {KnobModeRegistrykey, KnobModeParameterId, false},
    {TimeStampRegistrykey, TimeStampParameterId, true},
    {MessageFontSizeRegistrykey, MessageFontSizeParameterId, false},
    {MessageColorRegistrykey, MessageColorParameterId, true},
    {MessageDetailRegistrykey, MessageDetailParameterId, true},
    {MessageMiddleCRegistrykey, MessageMiddleCParameterId, false},
    {MessageTimeFormatRegistrykey, MessageTimeFormatParameterId, false},
    {MessageParsedRegistrykey, MessageParsedParameterId, false},
    {ProgramNumberBaseRegistrykey, ProgramNumberBaseParameterId, false},
    {PCKeyboardEnableRegistrykey, PCKeyboardEnableParameterId, true},
    {PCKeyboardOctaveRegistrykey, PCKeyboardOctaveParameterId, false},
    {PCKeyboardChannelRegistrykey, PCKeyboardChannelParameterId, false},
    {PCKeyboardVelocityRegistrykey, PCKeyboardVelocityParameterId, false},
};

// Message editors, keyboards, control change and program change windows number their entries.
bool hasRunningNumber(int windowId)
{
    return windowId == WindowRestorationInfo::MidiMessageEditorId || windowId == WindowRestorationInfo::KeyboardId
        || windowId == WindowRestorationInfo::ControlChangeId || windowId == WindowRestorationInfo::ProgramChangeId;
}

// An integer written by this program, or one typed by hand ("5", " 5 "); anything else is not.
bool toInteger(const QVariant& value, int& result)
{
    if (!value.isValid()) {
        return false;
    }
    bool ok = false;
    if (value.type() == QVariant::String) {
        result = value.toString().trimmed().toInt(&ok);
    } else if (value.type() == QVariant::Int || value.type() == QVariant::LongLong || value.type() == QVariant::UInt
               || value.type() == QVariant::Bool) {
        const qlonglong wide = value.toLongLong(&ok);
        ok = ok && wide >= std::numeric_limits<int>::min() && wide <= std::numeric_limits<int>::max();
        result = int(wide);
    }
    return ok;
}

// Stored as the parameter's integer: 0 reads false, any other number true; "true" and "false"
// typed by hand are understood too.
bool readBool(const QSettings& settings, const QString& key, bool defaultValue)
{
    const QVariant value = settings.value(key);
    int number = 0;
    if (toInteger(value, number)) {
        return number != 0;
    }
    const QString text = value.toString().trimmed().toLower();
    if (value.type() == QVariant::String && (text == "true" || text == "false")) {
        return text == "true";
    }
    return defaultValue;
}

int readInt(const QSettings& settings, const QString& key, int defaultValue, int minimum, int maximum)
{
    int number = 0;
    if (toInteger(settings.value(key), number) && number >= minimum && number <= maximum) {
        return number;
    }
    return defaultValue;
}

// A hand-written value with an unquoted comma comes back as a list: join it again.
QString readString(const QSettings& settings, const QString& key, const QString& defaultValue)
{
    const QVariant value = settings.value(key);
    if (value.type() == QVariant::String) {
        return value.toString();
    }
    if (value.type() == QVariant::StringList) {
        return value.toStringList().join(", ");
    }
    return defaultValue;
}

void restoreIntParameter(const QSettings& settings, const QString& key, ModelIF& model, unsigned int id)
{
    const int value = readInt(settings, key, model.getModelDefaultValue(id), model.getModelMinimumValue(id),
                              model.getModelMaximumValue(id));
    model.setModelIntValue(id, value);
}

void restoreBoolParameter(const QSettings& settings, const QString& key, ModelIF& model, unsigned int id,
                          bool defaultValue)
{
    model.setModelIntValue(id, readBool(settings, key, defaultValue) ? 1 : 0);
}

// "Control Change", "System Common" and "System Realtime" of the message type list have no key:
// their details have switches of their own.
bool hasMessageTypeFilterKey(int type)
{
    return type != MIDIFilterControlChange && type != MIDIFilterSystemCommon && type != MIDIFilterSystemRealtime;
}

// Every switch of the MidiFilter group, with its key, in the order of the group.
template <typename Visit> void forEachFilterKey(Visit visit)
{
    for (int channel = 0; channel < ChannelFilterCount; ++channel) {
        visit(QString::number(channel), ChannelFilterParameterId + channel);
    }
    for (int type = 0; type < MessageTypeFilterCount; ++type) {
        if (hasMessageTypeFilterKey(type)) {
            visit(QString::fromLatin1(MIDIFilterNameList[type]), MessageTypeFilterParameterId + type);
        }
    }
    for (int index = 0; index < SystemCommonFilterCount; ++index) {
        visit(QString::fromLatin1(FilterSystemCommonNameList[index]), SystemCommonFilterParameterId + index);
    }
    for (int index = 0; index < SystemRealtimeFilterCount; ++index) {
        visit(QString::fromLatin1(FilterSystemRealtimeNameList[index]), SystemRealtimeFilterParameterId + index);
    }
    for (int number = 0; number < ControlChangeFilterCount; ++number) {
        visit(QString::fromLatin1(ControlChangeNameList[number]), ControlChangeFilterParameterId + number);
    }
}

// X11 keeps window coordinates and sizes in 16 bits.
constexpr int WindowCoordinateLimit = 32767;

bool readLayoutEntry(const QString& key, const QVariant& value, WindowLayoutEntry& entry)
{
    const QStringList fields = key.split('-');
    if (fields.size() < 2) {
        return false;
    }
    bool ok = false;
    entry.windowId = fields.at(1).toInt(&ok);
    if (!ok || (entry.windowId != WindowRestorationInfo::MainWindowId
                && !WindowRestorationInfo::isToolWindowId(entry.windowId))) {
        return false;
    }
    // Written as a list of variants; the INI format hands the plain items back as text.
    const QList<QVariant> items = value.toList();
    if (items.size() < 3 || items.at(0).type() != QVariant::Rect) {
        return false;
    }
    entry.rect = items.at(0).toRect();
    // A hand-edited rectangle no window system could show is not restored.
    const QRect plausible(-WindowCoordinateLimit, -WindowCoordinateLimit, 2 * WindowCoordinateLimit,
                          2 * WindowCoordinateLimit);
    if (entry.rect.width() <= 0 || entry.rect.height() <= 0 || !plausible.contains(entry.rect)) {
        return false;
    }
    if (!toInteger(items.at(1), entry.windowState)) {
        return false;
    }
    entry.windowState &= Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen | Qt::WindowActive;
    const QString stayOnTop = items.at(2).toString().trimmed().toLower();
    entry.stayOnTop = stayOnTop == "true" || stayOnTop == "1";
    entry.parameters = items.mid(3);
    return true;
}

} // namespace

SettingsStore::SettingsStore(const QString& iniFilePath) : m_iniFilePath(iniFilePath) {}

QString SettingsStore::defaultIniFilePath()
{
    const QStringList folders = QStandardPaths::standardLocations(QStandardPaths::AppConfigLocation);
    if (folders.isEmpty() || folders.first().isEmpty()) {
        return QString();
    }
    return folders.first() + "/" + IniFileName;
}

QString SettingsStore::getIniFilePath() const
{
    return m_iniFilePath;
}

bool SettingsStore::makeIniFileFolder() const
{
    if (m_iniFilePath.isEmpty()) {
        return false;
    }
    return QDir().mkpath(QFileInfo(m_iniFilePath).absolutePath());
}

void SettingsStore::restoreWorkingDirectories(ModelIF& model) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(FileWorkingDirectoryRegistrykey);
    for (const auto& [key, id] : {std::pair{DumpFileWorkingDirectoryRegistrykey, DumpFileWorkingDirectoryParameterId},
                                  std::pair{ProjectFileWorkingDirectoryRegistrykey,
                                            ProjectFileWorkingDirectoryParameterId}}) {
        model.setModelStringValue(id, readString(settings, key, model.getModelStringValue(id)));
    }
}

void SettingsStore::restoreMidiFilter(ModelIF& model) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(MidiFilterRegistrykey);
    forEachFilterKey([&](const QString& key, unsigned int id) { restoreBoolParameter(settings, key, model, id, false); });
}

void SettingsStore::restoreMidiThru(ModelIF& model) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(MidiThruRegistrykey);
    restoreIntParameter(settings, BulkIntervalRegistrykey, model, BulkIntervalParameterId);
    restoreBoolParameter(settings, MidiThruRegistrykey, model, MidiThruParameterId,
                         model.getModelDefaultValue(MidiThruParameterId) > 0);
    restoreBoolParameter(settings, MidiThruSecondRegistrykey, model, MidiThruSecondParameterId,
                         model.getModelDefaultValue(MidiThruSecondParameterId) > 0);
}

QString SettingsStore::readPortName(PortDirection direction, unsigned int portGroup) const
{
    if (m_iniFilePath.isEmpty()) {
        return QString();
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(PortNameRegistrykey);
    return readString(settings, portNameRegistrykey(direction, portGroup), QString());
}

void SettingsStore::restorePreferences(ModelIF& model) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(PreferencesRegistrykey);
    for (const PreferenceKey& preference : PreferenceRegistrykeyTable) {
        if (preference.isBool) {
            restoreBoolParameter(settings, preference.key, model, preference.parameterId,
                                 model.getModelDefaultValue(preference.parameterId) > 0);
        } else {
            restoreIntParameter(settings, preference.key, model, preference.parameterId);
        }
    }
}

void SettingsStore::writePortName(PortDirection direction, unsigned int portGroup, const QString& name) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(PortNameRegistrykey);
    settings.setValue(portNameRegistrykey(direction, portGroup), name);
}

void SettingsStore::storeParameters(ModelIF& model) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);

    settings.beginGroup(FileWorkingDirectoryRegistrykey);
    settings.setValue(DumpFileWorkingDirectoryRegistrykey, model.getModelStringValue(DumpFileWorkingDirectoryParameterId));
    settings.setValue(ProjectFileWorkingDirectoryRegistrykey,
                      model.getModelStringValue(ProjectFileWorkingDirectoryParameterId));
    settings.endGroup();

    settings.beginGroup(MidiThruRegistrykey);
    settings.setValue(BulkIntervalRegistrykey, model.getModelIntValue(BulkIntervalParameterId));
    settings.setValue(MidiThruRegistrykey, model.getModelIntValue(MidiThruParameterId));
    settings.setValue(MidiThruSecondRegistrykey, model.getModelIntValue(MidiThruSecondParameterId));
    settings.endGroup();

    settings.beginGroup(PreferencesRegistrykey);
    for (const PreferenceKey& preference : PreferenceRegistrykeyTable) {
        settings.setValue(preference.key, model.getModelIntValue(preference.parameterId));
    }
    settings.endGroup();

    settings.beginGroup(MidiFilterRegistrykey);
    forEachFilterKey([&](const QString& key, unsigned int id) { settings.setValue(key, model.getModelIntValue(id) != 0 ? 1 : 0); });
    settings.endGroup();
}

QList<WindowLayoutEntry> SettingsStore::readWindowLayout() const
{
    QList<WindowLayoutEntry> entries;
    if (m_iniFilePath.isEmpty()) {
        return entries;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(SavePositionRegistrykey);
    QStringList keys = settings.childKeys();
    keys.sort();
    for (const QString& key : keys) {
        WindowLayoutEntry entry;
        if (readLayoutEntry(key, settings.value(key), entry)) {
            entries.append(entry);
        }
    }
    return entries;
}

void SettingsStore::writeWindowLayout(const QList<WindowLayoutEntry>& entries) const
{
    if (m_iniFilePath.isEmpty()) {
        return;
    }
    QSettings settings(m_iniFilePath, QSettings::IniFormat);
    settings.beginGroup(SavePositionRegistrykey);
    settings.remove(QString());
    QHash<int, int> runningNumbers;
    for (int sequence = 0; sequence < entries.size(); ++sequence) {
        const WindowLayoutEntry& entry = entries.at(sequence);
        const int runningNumber = hasRunningNumber(entry.windowId) ? runningNumbers[entry.windowId]++ : 0;
        QList<QVariant> value{entry.rect, entry.windowState, entry.stayOnTop};
        value.append(entry.parameters);
        settings.setValue(windowLayoutKey(sequence, entry.windowId, runningNumber), value);
    }
}

const char* SettingsStore::portNameRegistrykey(PortDirection direction, unsigned int portGroup)
{
    if (direction == PortDirection::Input) {
        return portGroup == 0 ? InputPortNameRegistrykey : InputPortNameSecondRegistrykey;
    }
    return portGroup == 0 ? OutputPortNameRegistrykey : OutputPortNameSecondRegistrykey;
}

QString SettingsStore::windowLayoutKey(int sequenceNumber, int windowId, int runningNumber)
{
    return QString("%1-%2-%3").arg(sequenceNumber, 10, 10, QChar('0')).arg(windowId).arg(runningNumber);
}
