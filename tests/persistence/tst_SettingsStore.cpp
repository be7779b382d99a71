#include "model/TulvarMidiModel.h"
#include "persistence/RegistryKeys.h"
#include "persistence/SettingsStore.h"
#include "testkit/FileBytes.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

namespace {

using Direction = SettingsStore::PortDirection;

// Rows the file does not keep: the port indexes (the port names stand for them) and the filter
// headings, which only group their switches in the window.
bool keptInTheFile(unsigned int id)
{
    return !(id >= 503 && id <= 506) && id != 703 && id != 708 && id != 709;
}

void restoreAll(TulvarMidiModel& model, const SettingsStore& store)
{
    store.restoreWorkingDirectories(model);
    store.restoreMidiFilter(model);
    store.restoreMidiThru(model);
    store.restorePreferences(model);
}

// Every parameter the file can hold: the working folders and the ints from 500 to 1303.
void compareModels(TulvarMidiModel& actual, TulvarMidiModel& expected)
{
    for (unsigned int id : {1u, 2u}) {
        QCOMPARE(actual.getModelStringValue(id), expected.getModelStringValue(id));
    }
    for (unsigned int id = 500; id <= 1303; ++id) {
        MODEL_RESULT result = MODEL_RESULT_OK;
        const int value = actual.getModelIntValue(id, &result);
        if (result == MODEL_RESULT_OK) {
            QVERIFY2(value == expected.getModelIntValue(id), qPrintable(QString::number(id)));
        }
    }
}

} // namespace

class tst_SettingsStore : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        QVERIFY(QDir().mkpath(m_folder->path() + "/config"));
    }

    void fileLivesInTheConfigurationFolder()
    {
        const QString path = SettingsStore::defaultIniFilePath();
        QVERIFY(path.endsWith("/TulvarMIDI.ini"));
        // The test helper points the configuration folder at a private place.
        QVERIFY(path.startsWith(qEnvironmentVariable("XDG_CONFIG_HOME")));

        SettingsStore store(m_folder->path() + "/a/b/c/" + IniFileName);
        QVERIFY(store.makeIniFileFolder());
        QVERIFY(QDir(m_folder->path() + "/a/b/c").exists());
    }

    // Every row gets a value of its own, so two rows sharing a key, or a key read into the wrong
    // row, show as a difference after the round trip.
    void writtenFileHoldsEveryKeyAndReadsBack()
    {
        TulvarMidiModel model;
        model.setModelStringValue(1, "/data/dumps");
        model.setModelStringValue(2, "/data/projects");
        for (unsigned int id = 500; id <= 1303; ++id) {
            MODEL_RESULT result = MODEL_RESULT_OK;
            const int minimum = model.getModelMinimumValue(id, &result);
            if (result == MODEL_RESULT_OK && keptInTheFile(id)) {
                const qint64 span = std::min<qint64>(qint64(model.getModelMaximumValue(id)) - minimum + 1, 1000);
                model.setModelIntValue(id, minimum + int(((id * 2654435761ull) >> 13) % quint64(span)));
            }
        }
        SettingsStore(iniPath()).storeParameters(model);

        QSettings settings(iniPath(), QSettings::IniFormat);
        QCOMPARE(settings.childGroups(), (QStringList{"FileWorkingDirectory", "MidiFilter", "MidiThru", "Preferences"}));
        QCOMPARE(settings.value("FileWorkingDirectory/DumpFileWorkingDirectory").toString(), QString("/data/dumps"));
        QCOMPARE(settings.allKeys().filter(QRegularExpression("^(MidiThru|Preferences)/")).size(), 3 + 13);
        // 16 channels, 7 message types, 4 system common, 6 real-time, 128 controllers.
        QCOMPARE(settings.allKeys().filter(QRegularExpression("^MidiFilter/")).size(), 16 + 7 + 4 + 6 + 128);
        // A few keys as users and older files know them.
        QCOMPARE(settings.value("Preferences/PCKeyboardVelocity").toInt(), model.getModelIntValue(1303));
        QCOMPARE(settings.value("MidiThru/BulkInterval").toInt(), model.getModelIntValue(501));
        TulvarMidiModel nextRun;
        restoreAll(nextRun, SettingsStore(iniPath()));
        compareModels(nextRun, model);

        // A filter key is that switch alone: with only it on, only its key reads 1.
        for (const auto& [key, id] : QList<QPair<QString, unsigned int>>{
                 {"9", 609}, {"Note On", 701}, {"007 Volume", 807}, {"(F3) Song Select", 1002}, {"(FF) System Reset", 1105}}) {
            TulvarMidiModel single;
            single.setModelIntValue(id, 1);
            SettingsStore(iniPath()).storeParameters(single);
            QSettings filter(iniPath(), QSettings::IniFormat);
            filter.beginGroup("MidiFilter");
            int on = 0;
            for (const QString& other : filter.childKeys())
                on += filter.value(other).toInt();
            QVERIFY2(on == 1 && filter.value(key).toInt() == 1, qPrintable(key));
        }
    }

    void damagedValueFallsBackToTheDefault_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<unsigned int>("id");
        QTest::addColumn<int>("expected");
        QTest::newRow("word for a number") << QByteArray("[Preferences]\nPCKeyboardVelocity=loud\n") << 1303u << 64;
        QTest::newRow("above the range") << QByteArray("[Preferences]\nPCKeyboardChannel=17\n") << 1302u << 1;
        QTest::newRow("below the range") << QByteArray("[Preferences]\nPCKeyboardOctave=-6\n") << 1301u << 0;
        QTest::newRow("bool any number is on") << QByteArray("[MidiThru]\nMidiThru=2\n") << 500u << 1;
        QTest::newRow("bool typed true") << QByteArray("[Preferences]\nTimeStamp=true\n") << 1201u << 1;
        QTest::newRow("bool word") << QByteArray("[MidiFilter]\n0=maybe\n") << 600u << 0;
        QTest::newRow("unknown keys and groups")
            << QByteArray("[Nonsense]\nx=1\n[Preferences]\nFoo=3\nMessageMiddleC=1\n") << 1205u << 1;
    }

    void damagedValueFallsBackToTheDefault()
    {
        QFETCH(QByteArray, text);
        QFETCH(unsigned int, id);
        writeFile(text);
        TulvarMidiModel model;
        restoreAll(model, SettingsStore(iniPath()));
        QTEST(model.getModelIntValue(id), "expected");
    }

    void missingOrUnreadableFileKeepsDefaults_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("no path at all") << -2;
        QTest::newRow("missing") << -1;
        QTest::newRow("folder in its place") << 0;
        QTest::newRow("binary garbage") << 1;
        QTest::newRow("broken layout values") << 2;
    }

    void missingOrUnreadableFileKeepsDefaults()
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
        } else if (kind == 2) {
            writeFile("[SavePosition]\n0000000001-1-0=@Variant(\\0\\0\\0\\t\\0\\0\\0\\x9)\n"
                      "0000000002-2-0=@Rect(1 2\n0000000003-x=\n[Preferences]\nMessageDetail=@Variant(\\0\\0\n");
        }
        TulvarMidiModel model;
        TulvarMidiModel defaults;
        const SettingsStore store(kind == -2 ? QString() : iniPath());
        QCOMPARE(store.makeIniFileFolder(), kind != -2);
        restoreAll(model, store);
        compareModels(model, defaults);
        QVERIFY(store.readWindowLayout().isEmpty());
        QCOMPARE(store.readPortName(Direction::Input, 0), QString());
        // Reading never creates the file; writing without a path or into a folder fails silently.
        QCOMPARE(QFile::exists(iniPath()), kind >= 0);
        store.storeParameters(model);
        store.writePortName(Direction::Output, 1, "Loopback B");
        store.writeWindowLayout({WindowLayoutEntry{}});
        if (kind == -2) {
            QCOMPARE(store.readPortName(Direction::Output, 1), QString());
            QVERIFY(store.readWindowLayout().isEmpty());
        }
    }

    void portNamesAreWrittenAtOnce()
    {
        const SettingsStore store(iniPath());
        const QList<std::tuple<Direction, unsigned int, QString, QString>> ports{
            {Direction::Input, 0, "InputPortName", "No Assign"},
            {Direction::Input, 1, "InputPortNameSecond", "Loopback B"},
            {Direction::Output, 0, "OutputPortName", "Loopback A"},
            {Direction::Output, 1, "OutputPortNameSecond", "Synth, Port 1"}};
        for (const auto& [direction, group, key, name] : ports) {
            store.writePortName(direction, group, name);
        }
        QSettings settings(iniPath(), QSettings::IniFormat);
        for (const auto& [direction, group, key, name] : ports) {
            QCOMPARE(settings.value("PortName/" + key).toString(), name);
            QCOMPARE(store.readPortName(direction, group), name);
        }
    }

    void layoutReplacesTheGroupInOrderWithNumberedKeys()
    {
        const QList<WindowLayoutEntry> entries{{0, QRect(10, 20, 679, 548), int(Qt::WindowMaximized), false, {}},
                                               {1, QRect(0, 0, 338, 274), 0, false, {}},
                                               {3, QRect(0, 274, 338, 274), 0, true, {}},
                                               {5, QRect(5, 5, 225, 250), int(Qt::WindowMinimized), false, {74, 0}},
                                               {3, QRect(40, 40, 338, 274), int(Qt::WindowMaximized), false, {}}};
        // The whole group is replaced; other groups stay.
        writeFile("[SavePosition]\n0000000009-9-0=@Rect(0 0 220 250), 0, false\nstray=1\n"
                  "[PortName]\nInputPortName=Loopback A\n");
        SettingsStore(iniPath()).writeWindowLayout(entries);

        QSettings settings(iniPath(), QSettings::IniFormat);
        QCOMPARE(settings.value("PortName/InputPortName").toString(), QString("Loopback A"));
        settings.beginGroup("SavePosition");
        QStringList keys = settings.childKeys();
        keys.sort();
        QCOMPARE(keys, (QStringList{"0000000000-0-0", "0000000001-1-0", "0000000002-3-0", "0000000003-5-0",
                                    "0000000004-3-1"}));
        // The values' own form is read from hand-written text below; here they must read back.
        const QList<WindowLayoutEntry> read = SettingsStore(iniPath()).readWindowLayout();
        QCOMPARE(read.size(), entries.size());
        for (int i = 0; i < read.size(); ++i) {
            QCOMPARE(read.at(i).windowId, entries.at(i).windowId);
            QCOMPARE(read.at(i).rect, entries.at(i).rect);
            QCOMPARE(read.at(i).windowState, entries.at(i).windowState);
            QCOMPARE(read.at(i).stayOnTop, entries.at(i).stayOnTop);
            QCOMPARE(read.at(i).parameters, entries.at(i).parameters);
        }
    }

    void layoutIsReadInKeyOrderSkippingDamagedEntries()
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
                  "0000000011-5-0=@Rect(9 9 225 250), 255, false, 7, 0\n"
                  "0000000012-3-0=@Rect(0 0 0 274), 0, false\n"
                  "0000000013-3-0=@Rect(0 0 999999999 274), 0, false\n"
                  "0000000014-3-0=@Rect(-90000 0 338 274), 0, false\n"
                  "0000000015-14-0=@Rect(0 0 338 274), 0, false\n");
        const QList<WindowLayoutEntry> entries = SettingsStore(iniPath()).readWindowLayout();
        // Window IDs: the main window's 0 and the tool windows' 1 to 14.
        QList<int> ids;
        for (const WindowLayoutEntry& entry : entries)
            ids << entry.windowId;
        QCOMPARE(ids, (QList<int>{1, 2, 0, 4, 5, 14}));
        QCOMPARE(entries.at(0).windowState, int(Qt::WindowMaximized));
        QCOMPARE(entries.at(0).stayOnTop, true);
        QCOMPARE(entries.at(1).rect, QRect(338, 0, 338, 274));
        // Unknown state bits are dropped.
        QCOMPARE(entries.at(4).windowState, 0xF);
        QCOMPARE(entries.at(4).parameters.value(0).toInt(), 7);
    }

private:
    void writeFile(const QByteArray& text)
    {
        QVERIFY(writeFileBytes(iniPath(), text));
    }

    QString iniPath() const { return m_folder->path() + "/config/" + IniFileName; }

    std::unique_ptr<QTemporaryDir> m_folder;
};

QTEST_GUILESS_MAIN(tst_SettingsStore)
#include "tst_SettingsStore.moc"
