#include "model/TulvarMidiModel.h"
#include "persistence/RegistryKeys.h"
#include "persistence/SettingsStore.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

namespace {

// Every parameter the settings file keeps, with the key that holds it.
struct KeptParameter {
    QString group;
    QString key;
    unsigned int id;
};

QList<KeptParameter> filterKeys()
{
    QList<KeptParameter> keys;
    for (int channel = 0; channel < 16; ++channel) {
        keys.append({MidiFilterRegistrykey, QString::number(channel), 600u + channel});
    }
    const QStringList types{"Note Off", "Note On", "Key Pressure", "", "Program Change", "Channel Pressure",
                            "Pitch Bend", "System Exclusive"};
    for (int type = 0; type < types.size(); ++type) {
        if (!types.at(type).isEmpty()) {
            keys.append({MidiFilterRegistrykey, types.at(type), 700u + type});
        }
    }
    const QStringList common{"(F1) MIDI Time Code Quarter Frame", "(F2) Song Position Pointer", "(F3) Song Select",
                             "(F6) Tune Request"};
    for (int index = 0; index < common.size(); ++index) {
        keys.append({MidiFilterRegistrykey, common.at(index), 1000u + index});
    }
    const QStringList realtime{"(F8) Timing Clock", "(FA) Start", "(FB) Continue", "(FC) Stop", "(FE) Active Sensing",
                               "(FF) System Reset"};
    for (int index = 0; index < realtime.size(); ++index) {
        keys.append({MidiFilterRegistrykey, realtime.at(index), 1100u + index});
    }
    keys.append({MidiFilterRegistrykey, "000 Bank (MSB)", 800});
    keys.append({MidiFilterRegistrykey, "007 Volume", 807});
    keys.append({MidiFilterRegistrykey, "064 Damper Pedal", 864});
    keys.append({MidiFilterRegistrykey, "119 ---", 919});
    keys.append({MidiFilterRegistrykey, "127 Poly On", 927});
    return keys;
}

} // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private slots:
    void init();
    void fileLivesInTheConfigurationFolder();
    void missingFileKeepsEveryDefault();
    void handWrittenFileSetsEveryParameter();
    void writtenFileHoldsEveryKeyAndNoOther();
    void filterSwitchSetInOneRunIsOnInTheNext();
    void damagedValueFallsBackToTheDefault_data();
    void damagedValueFallsBackToTheDefault();
    void unreadableFileKeepsDefaults_data();
    void unreadableFileKeepsDefaults();
    void emptyPathReadsAndWritesNothing();
    void portNamesAreWrittenAtOnce();
    void layoutIsWrittenInOrderWithNumberedKeys();
    void layoutIsReadInKeyOrderSkippingDamagedEntries();
    void writingTheLayoutReplacesTheWholeGroup();

private:
    QString iniPath() const { return m_folder->path() + "/config/" + IniFileName; }
    void writeFile(const QByteArray& text);
    void restoreAll(TulvarMidiModel& model, const SettingsStore& store);

    std::unique_ptr<QTemporaryDir> m_folder;
};

void tst_SettingsStore::init()
{
    m_folder = std::make_unique<QTemporaryDir>();
    QVERIFY(m_folder->isValid());
    QVERIFY(QDir().mkpath(m_folder->path() + "/config"));
}

void tst_SettingsStore::writeFile(const QByteArray& text)
{
    QFile file(iniPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

void tst_SettingsStore::restoreAll(TulvarMidiModel& model, const SettingsStore& store)
{
    store.restoreWorkingDirectories(model);
    store.restoreMidiFilter(model);
    store.restoreMidiThru(model);
    store.restorePreferences(model);
}

void tst_SettingsStore::fileLivesInTheConfigurationFolder()
{
    const QString path = SettingsStore::defaultIniFilePath();
    QVERIFY(path.endsWith("/TulvarMIDI.ini"));
    // The test helper points the configuration folder at a private place.
    QVERIFY(path.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));

    SettingsStore store(m_folder->path() + "/a/b/c/" + IniFileName);
    QVERIFY(store.makeIniFileFolder());
    QVERIFY(QDir(m_folder->path() + "/a/b/c").exists());
}

void tst_SettingsStore::missingFileKeepsEveryDefault()
{
    TulvarMidiModel model;
    TulvarMidiModel defaults;
    restoreAll(model, SettingsStore(iniPath()));
    for (unsigned int id : {1u, 2u}) {
        QCOMPARE(model.getModelStringValue(id), defaults.getModelStringValue(id));
    }
    for (unsigned int id = 500; id <= 1303; ++id) {
        MODEL_RESULT result = MODEL_RESULT_OK;
        const int value = model.getModelIntValue(id, &result);
        if (result == MODEL_RESULT_OK) {
            QCOMPARE(value, defaults.getModelIntValue(id));
        }
    }
    QCOMPARE(SettingsStore(iniPath()).readPortName(SettingsStore::PortDirection::Input, 0), QString());
    QVERIFY(SettingsStore(iniPath()).readWindowLayout().isEmpty());
    QVERIFY(!QFile::exists(iniPath()));
}

void tst_SettingsStore::handWrittenFileSetsEveryParameter()
{
    QByteArray text = "[FileWorkingDirectory]\n"
                      "DumpFileWorkingDirectory=/home/user/dumps\n"
                      "ProjectFileWorkingDirectory=/home/user/projects\n"
                      "[MidiThru]\n"
                      "BulkInterval=250\n"
                      "MidiThru=1\n"
                      "MidiThruSecond=7\n"
                      "[PortName]\n"
                      "InputPortName=Loopback A\n"
                      "InputPortNameSecond=Loopback B\n"
                      "OutputPortName=No Assign\n"
                      "OutputPortNameSecond=\"Synth, Port 1\"\n"
                      "[Preferences]\n"
                      "KnobMode=1\nTimeStamp=1\nMessageFontSize=1\nMessageColor=1\nMessageDetail=1\n"
                      "MessageMiddleC=2\nMessageTimeFormat=1\nMessageParsed=0\nProgramNumberBase=0\n"
                      "PCKeyboardEnable=1\nPCKeyboardOctave=-3\nPCKeyboardChannel=10\nPCKeyboardVelocity=100\n"
                      "[MidiFilter]\n";
    for (const KeptParameter& key : filterKeys()) {
        text += key.key.toUtf8() + "=1\n";
    }
    writeFile(text);

    TulvarMidiModel model;
    const SettingsStore store(iniPath());
    restoreAll(model, store);

    QCOMPARE(model.getModelStringValue(1), QString("/home/user/dumps"));
    QCOMPARE(model.getModelStringValue(2), QString("/home/user/projects"));
    QCOMPARE(model.getModelIntValue(501), 250);
    QCOMPARE(model.getModelIntValue(500), 1);
    QCOMPARE(model.getModelIntValue(502), 1);
    const QList<QPair<unsigned int, int>> preferences{{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}, {1204, 1},
                                                      {1205, 2}, {1206, 1}, {1207, 0}, {1208, 0}, {1300, 1},
                                                      {1301, -3}, {1302, 10}, {1303, 100}};
    for (const auto& [id, value] : preferences) {
        QVERIFY2(model.getModelIntValue(id) == value, qPrintable(QString::number(id)));
    }
    for (const KeptParameter& key : filterKeys()) {
        QVERIFY2(model.getModelIntValue(key.id) == 1, qPrintable(key.key));
    }
    // Switches without a key in the file stay off.
    QCOMPARE(model.getModelIntValue(801), 0);
    QCOMPARE(model.getModelIntValue(703), 0);

    using Direction = SettingsStore::PortDirection;
    QCOMPARE(store.readPortName(Direction::Input, 0), QString("Loopback A"));
    QCOMPARE(store.readPortName(Direction::Input, 1), QString("Loopback B"));
    QCOMPARE(store.readPortName(Direction::Output, 0), QString("No Assign"));
    QCOMPARE(store.readPortName(Direction::Output, 1), QString("Synth, Port 1"));
}

void tst_SettingsStore::writtenFileHoldsEveryKeyAndNoOther()
{
    TulvarMidiModel model;
    model.setModelStringValue(1, "/data/dumps");
    model.setModelStringValue(2, "/data/projects");
    model.setModelIntValue(501, 40);
    model.setModelIntValue(502, 1);
    model.setModelIntValue(1205, 1);
    model.setModelIntValue(1301, -5);
    model.setModelIntValue(1303, 127);
    model.setModelIntValue(605, 1);
    model.setModelIntValue(707, 1);
    model.setModelIntValue(703, 1);
    model.setModelIntValue(1105, 1);
    model.setModelIntValue(927, 1);
    SettingsStore(iniPath()).storeParameters(model);

    QSettings settings(iniPath(), QSettings::IniFormat);
    QCOMPARE(settings.childGroups(),
             (QStringList{"FileWorkingDirectory", "MidiFilter", "MidiThru", "Preferences"}));
    QCOMPARE(settings.value("FileWorkingDirectory/DumpFileWorkingDirectory").toString(), QString("/data/dumps"));
    QCOMPARE(settings.value("FileWorkingDirectory/ProjectFileWorkingDirectory").toString(), QString("/data/projects"));
    QCOMPARE(settings.value("MidiThru/BulkInterval").toInt(), 40);
    QCOMPARE(settings.value("MidiThru/MidiThru").toInt(), 0);
    QCOMPARE(settings.value("MidiThru/MidiThruSecond").toInt(), 1);

    settings.beginGroup("Preferences");
    const QMap<QString, int> preferences{
        {"KnobMode", 0},          {"TimeStamp", 0},         {"MessageFontSize", 0},   {"MessageColor", 0},
        {"MessageDetail", 0},     {"MessageMiddleC", 1},    {"MessageTimeFormat", 0}, {"MessageParsed", 1},
        {"ProgramNumberBase", 1}, {"PCKeyboardEnable", 0},  {"PCKeyboardOctave", -5}, {"PCKeyboardChannel", 1},
        {"PCKeyboardVelocity", 127}};
    QCOMPARE(settings.childKeys().size(), preferences.size());
    for (auto it = preferences.cbegin(); it != preferences.cend(); ++it) {
        QVERIFY2(settings.value(it.key()).toInt() == it.value(), qPrintable(it.key()));
    }
    settings.endGroup();

    settings.beginGroup("MidiFilter");
    // 16 channels, 7 message types, 4 system common, 6 realtime, 128 controllers.
    QCOMPARE(settings.childKeys().size(), 16 + 7 + 4 + 6 + 128);
    for (const KeptParameter& key : filterKeys()) {
        QVERIFY2(settings.contains(key.key), qPrintable(key.key));
        QVERIFY2(settings.value(key.key).toInt() == model.getModelIntValue(key.id), qPrintable(key.key));
    }
    for (const char* unkept : {"Control Change", "System Common", "System Realtime"}) {
        QVERIFY2(!settings.contains(unkept), unkept);
    }
}

void tst_SettingsStore::filterSwitchSetInOneRunIsOnInTheNext()
{
    {
        TulvarMidiModel firstRun;
        firstRun.setModelIntValue(1102, 1);
        firstRun.setModelIntValue(864, 1);
        SettingsStore(iniPath()).storeParameters(firstRun);
    }
    TulvarMidiModel secondRun;
    restoreAll(secondRun, SettingsStore(iniPath()));
    QCOMPARE(secondRun.getModelIntValue(1102), 1);
    QCOMPARE(secondRun.getModelIntValue(864), 1);
    QCOMPARE(secondRun.getModelIntValue(865), 0);
}

void tst_SettingsStore::damagedValueFallsBackToTheDefault_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<unsigned int>("id");
    QTest::addColumn<int>("expected");
    QTest::newRow("parser off") << QByteArray("[Preferences]\nMessageParsed=0\n") << 1207u << 0;
    QTest::newRow("word for a number") << QByteArray("[Preferences]\nPCKeyboardVelocity=loud\n") << 1303u << 64;
    QTest::newRow("number with spaces") << QByteArray("[Preferences]\nPCKeyboardVelocity= 90 \n") << 1303u << 90;
    QTest::newRow("above the range") << QByteArray("[Preferences]\nPCKeyboardChannel=17\n") << 1302u << 1;
    QTest::newRow("below the range") << QByteArray("[Preferences]\nPCKeyboardOctave=-6\n") << 1301u << 0;
    QTest::newRow("beyond int") << QByteArray("[MidiThru]\nBulkInterval=99999999999999\n") << 501u << 0;
    QTest::newRow("fraction") << QByteArray("[MidiThru]\nBulkInterval=2.5\n") << 501u << 0;
    QTest::newRow("list for a number") << QByteArray("[MidiThru]\nBulkInterval=1, 2\n") << 501u << 0;
    QTest::newRow("rectangle for a number")
        << QByteArray("[Preferences]\nMessageMiddleC=@Rect(0 0 1 1)\n") << 1205u << 0;
    QTest::newRow("bool any number is on") << QByteArray("[MidiThru]\nMidiThru=2\n") << 500u << 1;
    QTest::newRow("bool negative is on") << QByteArray("[Preferences]\nMessageColor=-1\n") << 1203u << 1;
    QTest::newRow("bool typed true") << QByteArray("[Preferences]\nTimeStamp=true\n") << 1201u << 1;
    QTest::newRow("bool typed FALSE") << QByteArray("[Preferences]\nTimeStamp=FALSE\n") << 1201u << 0;
    QTest::newRow("bool word") << QByteArray("[MidiFilter]\n0=maybe\n") << 600u << 0;
    QTest::newRow("empty value") << QByteArray("[Preferences]\nProgramNumberBase=\n") << 1208u << 1;
    QTest::newRow("unknown keys and groups")
        << QByteArray("[Nonsense]\nx=1\n[Preferences]\nFoo=3\nMessageMiddleC=1\n") << 1205u << 1;
    QTest::newRow("line without equals") << QByteArray("[Preferences]\ngarbage line\nMessageMiddleC=2\n") << 1205u
                                         << 2;
}

void tst_SettingsStore::damagedValueFallsBackToTheDefault()
{
    QFETCH(QByteArray, text);
    QFETCH(unsigned int, id);
    QFETCH(int, expected);
    writeFile(text);
    TulvarMidiModel model;
    restoreAll(model, SettingsStore(iniPath()));
    QCOMPARE(model.getModelIntValue(id), expected);
}

void tst_SettingsStore::unreadableFileKeepsDefaults_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("folder in its place") << 0;
    QTest::newRow("binary garbage") << 1;
    QTest::newRow("broken layout values") << 2;
}

void tst_SettingsStore::unreadableFileKeepsDefaults()
{
    QFETCH(int, kind);
    if (kind == 0) {
        QVERIFY(QDir().mkpath(iniPath()));
    } else if (kind == 1) {
        QByteArray garbage;
        for (int i = 0; i < 4096; ++i) {
            garbage.append(char((i * 7919) & 0xFF));
        }
        writeFile(garbage);
    } else {
        writeFile("[SavePosition]\n0000000001-1-0=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x9)\n"
                  "0000000002-2-0=@Rect(1 2\n0000000003-x=\n[Preferences]\nMessageDetail=@Variant(\\0\\0\n");
    }
    TulvarMidiModel model;
    const SettingsStore store(iniPath());
    restoreAll(model, store);
    QCOMPARE(model.getModelIntValue(1204), 0);
    QCOMPARE(model.getModelIntValue(1207), 1);
    QCOMPARE(model.getModelIntValue(1303), 64);
    QVERIFY(store.readWindowLayout().isEmpty());
    // Writing into a folder fails silently.
    store.storeParameters(model);
    store.writePortName(SettingsStore::PortDirection::Output, 1, "Loopback B");
}

void tst_SettingsStore::emptyPathReadsAndWritesNothing()
{
    TulvarMidiModel model;
    const SettingsStore store{QString()};
    QVERIFY(!store.makeIniFileFolder());
    restoreAll(model, store);
    store.storeParameters(model);
    store.writePortName(SettingsStore::PortDirection::Input, 0, "Loopback A");
    store.writeWindowLayout({WindowLayoutEntry{}});
    QCOMPARE(store.readPortName(SettingsStore::PortDirection::Input, 0), QString());
    QVERIFY(store.readWindowLayout().isEmpty());
    QCOMPARE(model.getModelIntValue(1207), 1);
}

void tst_SettingsStore::portNamesAreWrittenAtOnce()
{
    using Direction = SettingsStore::PortDirection;
    const SettingsStore store(iniPath());
    store.writePortName(Direction::Input, 0, "No Assign");
    store.writePortName(Direction::Input, 1, "Loopback B");
    store.writePortName(Direction::Output, 0, "Loopback A");
    store.writePortName(Direction::Output, 1, "Synth, Port 1");

    QSettings settings(iniPath(), QSettings::IniFormat);
    QCOMPARE(settings.value("PortName/InputPortName").toString(), QString("No Assign"));
    QCOMPARE(settings.value("PortName/InputPortNameSecond").toString(), QString("Loopback B"));
    QCOMPARE(settings.value("PortName/OutputPortName").toString(), QString("Loopback A"));
    QCOMPARE(settings.value("PortName/OutputPortNameSecond").toString(), QString("Synth, Port 1"));
    QCOMPARE(store.readPortName(Direction::Output, 1), QString("Synth, Port 1"));
}

void tst_SettingsStore::layoutIsWrittenInOrderWithNumberedKeys()
{
    QList<WindowLayoutEntry> entries;
    entries.append({0, QRect(10, 20, 679, 548), int(Qt::WindowMaximized), false, {}});
    entries.append({1, QRect(0, 0, 338, 274), 0, false, {}});
    entries.append({3, QRect(0, 274, 338, 274), 0, true, {}});
    entries.append({5, QRect(5, 5, 225, 250), int(Qt::WindowMinimized), false, {74, 0}});
    entries.append({3, QRect(40, 40, 338, 274), int(Qt::WindowMaximized), false, {}});
    SettingsStore(iniPath()).writeWindowLayout(entries);

    QSettings settings(iniPath(), QSettings::IniFormat);
    settings.beginGroup("SavePosition");
    QStringList keys = settings.childKeys();
    keys.sort();
    QCOMPARE(keys, (QStringList{"0000000000-0-0", "0000000001-1-0", "0000000002-3-0", "0000000003-5-0",
                                "0000000004-3-1"}));
    const QList<QVariant> editor = settings.value("0000000002-3-0").toList();
    QCOMPARE(editor.size(), 3);
    QCOMPARE(editor.at(0).toRect(), QRect(0, 274, 338, 274));
    QCOMPARE(editor.at(2).toBool(), true);
    const QList<QVariant> controlChange = settings.value("0000000003-5-0").toList();
    QCOMPARE(controlChange.size(), 5);
    QCOMPARE(controlChange.at(3).toInt(), 74);

    const QList<WindowLayoutEntry> read = SettingsStore(iniPath()).readWindowLayout();
    QCOMPARE(read.size(), entries.size());
    for (int i = 0; i < read.size(); ++i) {
        QCOMPARE(read.at(i).windowId, entries.at(i).windowId);
        QCOMPARE(read.at(i).rect, entries.at(i).rect);
        QCOMPARE(read.at(i).windowState, entries.at(i).windowState);
        QCOMPARE(read.at(i).stayOnTop, entries.at(i).stayOnTop);
        QCOMPARE(read.at(i).parameters.size(), entries.at(i).parameters.size());
    }
    QCOMPARE(read.at(3).parameters.at(0).toInt(), 74);
}

void tst_SettingsStore::layoutIsReadInKeyOrderSkippingDamagedEntries()
{
    writeFile("[SavePosition]\n"
              "0000000003-2-0=@Rect(338 0 338 274), 0, false\n"
              "0000000001-1-0=@Rect(0 0 338 274), 2, true\n"
              "0000000002-15-0=@Rect(0 0 338 274), 0, false\n"
              "0000000004-0-0=@Rect(0 0 338 274), 0, false\n"
              "0000000005-4=@Rect(1 1 400 120), 0, false\n"
              "0000000006-3-0=0, 0, false\n"
              "0000000007-3-0=@Rect(1 1 338 274), 0\n"
              "0000000008-3-0=@Rect(1 1 338 274), many, false\n"
              "0000000009-five-0=@Rect(1 1 338 274), 0, false\n"
              "garbage=@Rect(1 1 338 274), 0, false\n"
              "0000000010--1-0=@Rect(1 1 338 274), 0, false\n"
              "0000000011-5-0=@Rect(9 9 225 250), 255, false, 7, 0\n"
              "0000000012-3-0=@Rect(0 0 0 274), 0, false\n"
              "0000000013-3-0=@Rect(0 0 999999999 274), 0, false\n"
              "0000000014-3-0=@Rect(-90000 0 338 274), 0, false\n");
    const QList<WindowLayoutEntry> entries = SettingsStore(iniPath()).readWindowLayout();
    QCOMPARE(entries.size(), 5);
    QCOMPARE(entries.at(0).windowId, 1);
    QCOMPARE(entries.at(0).windowState, int(Qt::WindowMaximized));
    QCOMPARE(entries.at(0).stayOnTop, true);
    QCOMPARE(entries.at(1).windowId, 2);
    QCOMPARE(entries.at(1).rect, QRect(338, 0, 338, 274));
    QCOMPARE(entries.at(2).windowId, 0);
    QCOMPARE(entries.at(3).windowId, 4);
    QCOMPARE(entries.at(4).windowId, 5);
    // Unknown state bits are dropped.
    QCOMPARE(entries.at(4).windowState, 0xF);
    QCOMPARE(entries.at(4).parameters.value(0).toInt(), 7);
}

void tst_SettingsStore::writingTheLayoutReplacesTheWholeGroup()
{
    writeFile("[SavePosition]\n0000000009-9-0=@Rect(0 0 220 250), 0, false\nstray=1\n"
              "[PortName]\nInputPortName=Loopback A\n");
    SettingsStore(iniPath()).writeWindowLayout({{0, QRect(0, 0, 679, 548), 0, false, {}}});
    QSettings settings(iniPath(), QSettings::IniFormat);
    settings.beginGroup("SavePosition");
    QCOMPARE(settings.childKeys(), QStringList{"0000000000-0-0"});
    settings.endGroup();
    QCOMPARE(settings.value("PortName/InputPortName").toString(), QString("Loopback A"));
}

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
