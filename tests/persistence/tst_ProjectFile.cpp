#include "persistence/ControlChangeWindowRestorationInfo.h"
#include "persistence/FileStream.h"
#include "persistence/ProjectFileHelper.h"
#include "testkit/FileBytes.h"
#include "testkit/StubProjectWindows.h"
#include "persistence/WindowRestorationInfo.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Ids = WindowRestorationInfo;

WindowInfoStruct windowInfo(int id, const QRect& rect, int state = 0, bool stayOnTop = false,
                            const QList<QVariant>& parameters = {})
{
    return WindowInfoStruct{id, stayOnTop, rect, state, parameters};
}

QByteArray bigEndian(const QList<qint32>& values)
{
    QByteArray bytes;
    for (const qint32 value : values) {
        const quint32 word = quint32(value);
        bytes.append(char(word >> 24)).append(char(word >> 16)).append(char(word >> 8)).append(char(word));
    }
    return bytes;
}

// The header up to the chunk ID, as the file must hold it.
QByteArray header(const QByteArray& version = "1.5.0")
{
    return QByteArray("KELDAN WORKS") + QByteArray(4, '\0') + QByteArray("Tulvar MIDI") + QByteArray(5, '\0') + version
        + QByteArray(16 - version.size(), '\0') + "WIND";
}

QByteArray file(const QByteArray& windowData, const QByteArray& version = "1.5.0")
{
    return header(version) + bigEndian({qint32(windowData.size())}) + windowData;
}

QByteArray record(const QList<qint32>& fields, const QByteArray& parameters = {})
{
    const QByteArray bytes = bigEndian(fields) + parameters;
    return bigEndian({qint32(bytes.size())}) + bytes;
}

const QByteArray mainRecord = record({0, 0, 0, 0, 400, 300, 0});
const QByteArray monitorRecord = record({1, 0, 0, 0, 338, 274, 0});
const QByteArray emptyPayload = bigEndian({0});

// A workspace that exercises every frame: a monitor, an editor with text, a control change
// window with its parameters, a stay-on-top maximised window, an editor without text.
void fillWorkspace(StubProjectWindows& windows)
{
    windows.mainWindow = windowInfo(0, QRect(30, 40, 679, 548), 2, true);
    windows.addToolWindow(windowInfo(Ids::MidiInMonitorId, QRect(0, 0, 338, 274)));
    windows.addToolWindow(windowInfo(Ids::MidiMessageEditorId, QRect(5, 274, 400, 300), 0, true),
                          QStringLiteral("F0 7E 7F 09 01 F7 ; é"));
    windows.addToolWindow(windowInfo(Ids::ControlChangeId, QRect(-20, 7, 225, 250), 2, false, {74, 0}));
    windows.addToolWindow(windowInfo(Ids::MidiMessageEditorId, QRect(1, 2, 3, 4)));
}

int read(const QByteArray& data, StubProjectWindows& windows)
{
    return ProjectFileHelper(windows).readFileData(data);
}

void compareInfo(const WindowInfoStruct& actual, const WindowInfoStruct& expected)
{
    QCOMPARE(actual.windowId, expected.windowId);
    QCOMPARE(actual.stayOnTop, expected.stayOnTop);
    QCOMPARE(actual.rect, expected.rect);
    QCOMPARE(actual.windowState, expected.windowState);
    QCOMPARE(actual.parameters, expected.parameters);
}

} // namespace

// The project file and the tagged records its views' payloads are made of.
class tst_ProjectFile : public QObject {
    Q_OBJECT

private slots:
    // An empty text writes its tag and a zero length but reports false; it reads back empty.
    void recordsAreTagSizeValueBigEndianAndReadBackInOrder()
    {
        QByteArray bytes;
        {
            QDataStream out(&bytes, QIODevice::WriteOnly);
            QVERIFY(FileStream::setIntParameterToStream(out, 2, 0x01020304));
            QVERIFY(!FileStream::setStringParameterToStream(out, 4, QString()));
            FileStream::setIntParameterToStream(out, 1, -7);
        }
        QCOMPARE(bytes.toHex(), QByteArray("00000002" "00000004" "01020304" "00000004" "00000000"
                                           "00000001" "00000004" "fffffff9"));
        QDataStream in(bytes);
        qint32 value = 99;
        QString empty = QStringLiteral("old");
        QVERIFY(FileStream::getIntParameterFromStream(in, 2, value));
        QCOMPARE(value, 0x01020304);
        QVERIFY(FileStream::getStringParameterFromStream(in, 4, empty));
        QVERIFY(empty.isEmpty());
        QVERIFY(FileStream::getIntParameterFromStream(in, 1, value));
        QCOMPARE(value, -7);
    }

    // A record of another tag or size, or cut short, is not found and leaves 0 or an empty text.
    void recordsReadOnlyWhenWhole_data()
    {
        QTest::addColumn<bool>("isText");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("consumed"); // -1: not checked
        QTest::newRow("int: empty stream") << false << QByteArray() << false << "0" << 0;
        QTest::newRow("int: other tag") << false << bigEndian({5, 4, 1}) << false << "0" << 4;
        QTest::newRow("int: size not 4") << false << bigEndian({0, 8, 1}) << false << "0" << 8;
        QTest::newRow("int: cut inside value") << false << bigEndian({0, 4}) + QByteArray(2, 'x') << false << "0" << 10;
        QTest::newRow("text stops at the first NUL") << true << bigEndian({0, 5}) + QByteArray("ab\0cd", 5) << true << "ab" << 13;
        QTest::newRow("empty text") << true << bigEndian({0, 0}) + "xyz" << true << "" << 8;
        // A length of nearly 2 GiB in a short payload is damage, read without allocating it.
        QTest::newRow("text length beyond the payload") << true << bigEndian({0, 0x7ffffff0}) + "F0 F7" << false << "" << -1;
        QTest::newRow("text length negative") << true << bigEndian({0, -5}) + "xyz" << false << "" << -1;
        QTest::newRow("text: other tag") << true << bigEndian({3, 1}) + "A" << false << "" << -1;
        QTest::newRow("text cut after tag") << true << bigEndian({0}) << false << "" << -1;
    }

    void recordsReadOnlyWhenWhole()
    {
        QFETCH(bool, isText);
        QFETCH(QByteArray, bytes);
        QFETCH(int, consumed);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QDataStream in(&buffer);
        QString text = QStringLiteral("old");
        qint32 number = 42;
        const bool found = isText ? FileStream::getStringParameterFromStream(in, 0, text)
                                  : FileStream::getIntParameterFromStream(in, 0, number);
        QTEST(found, "found");
        QTEST(isText ? text : QString::number(number), "value");
        if (consumed >= 0) {
            QCOMPARE(int(buffer.pos()), consumed);
        }
    }

    void workspaceIsWrittenRecordByRecordAndReadsBackWhole()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("song.tulvarmidi"));
        StubProjectWindows written;
        fillWorkspace(written);
        QCOMPARE(ProjectFileHelper(written).writeFile(path), int(ProjectFileHelper::WriteSucceeded));

        // A parameter is the tag 16, then Qt's QVariant: type 2 (int), null flag 0, the value.
        const QByteArray parameters = bigEndian({16, 2}) + '\0' + bigEndian({74}) + bigEndian({16, 2}) + '\0' + bigEndian({0});
        const QByteArray text = written.views[1]->text.toUtf8();
        // A view's payload is framed by its length; an editor without text writes tag 0, length 0.
        const QByteArray windowData = record({0, 1, 30, 40, 679, 548, 2}) + monitorRecord + emptyPayload
            + record({3, 1, 5, 274, 400, 300, 0}) + bigEndian({text.size() + 8, 0, text.size()}) + text
            + record({5, 0, -20, 7, 225, 250, 2}, parameters) + emptyPayload
            + record({3, 0, 1, 2, 3, 4, 0}) + bigEndian({8, 0, 0});
        QCOMPARE(readFileBytes(path).toHex(), file(windowData).toHex());

        // Windows open before reading are replaced, not kept.
        StubProjectWindows read;
        read.addToolWindow(windowInfo(Ids::KeyboardId, QRect(0, 0, 9, 9)));
        QCOMPARE(ProjectFileHelper(read).readFile(path), int(ProjectFileHelper::ReadSucceeded));
        QCOMPARE(read.mainWindowRestored, 1);
        compareInfo(read.mainWindow, written.mainWindow);
        QCOMPARE(read.views.size(), written.views.size());
        for (size_t i = 0; i < written.views.size(); ++i) {
            compareInfo(read.views[i]->info, written.views[i]->info);
            QCOMPARE(read.views[i]->text, written.views[i]->text);
        }
    }

    // How many windows a read restores, the main window included: reading stops at the first
    // damage, and the windows read before it stay open.
    void readingStopsAtTheFirstDamage_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("restored");
        const int ok = ProjectFileHelper::ReadSucceeded;
        const int failed = ProjectFileHelper::ReadFailed;
        const int tooNew = ProjectFileHelper::ReadVersionTooNew;
        // Each version digit is compared on its own with 1.5.0.
        QTest::newRow("version not digits") << file(mainRecord, "x.y.z") << ok << 1;
        QTest::newRow("older minor, higher patch digit") << file(mainRecord, "1.4.9") << tooNew << 0;
        QTest::newRow("older major, higher minor digit") << file(mainRecord, "0.9.0") << tooNew << 0;

        const QByteArray good = file(mainRecord);
        QByteArray id1 = good;
        id1[3] = 'd';
        QByteArray id2Padding = good;
        id2Padding[31] = 'x';
        QByteArray chunk = good;
        chunk[48] = 'w';
        const QByteArray monitor = mainRecord + monitorRecord;
        QTest::newRow("first identifier") << id1 << failed << 0;
        QTest::newRow("padding of the second identifier") << id2Padding << failed << 0;
        QTest::newRow("chunk ID") << chunk << failed << 0;
        QTest::newRow("N zero") << header() + bigEndian({0}) + mainRecord << failed << 0;
        QTest::newRow("main record too short") << file(record({0, 0, 0, 0, 1, 1})) << failed << 0;
        QTest::newRow("L huge") << file(bigEndian({0x7fffffff, 0, 0, 0, 0, 1, 1, 0})) << failed << 0;
        QTest::newRow("L negative") << file(bigEndian({-28, 0, 0, 0, 0, 1, 1, 0})) << failed << 0;
        QTest::newRow("right edge beyond int") << file(record({0, 0, 0x7fffffff, 0, 2, 1, 0})) << failed << 0;
        QTest::newRow("negative width") << file(record({0, 0, 50, 0, qint32(0x80000000), 1, 0})) << failed << 0;
        QTest::newRow("P negative") << file(monitor + bigEndian({-4}) + "abcd") << failed << 2;
        QTest::newRow("P beyond the end by one") << file(monitor + bigEndian({4}) + "abc") << failed << 2;
        QTest::newRow("P missing") << file(monitor) << failed << 2;
        QTest::newRow("unknown window ID") << file(mainRecord + record({15, 0, 0, 0, 10, 10, 0}) + emptyPayload) << failed << 1;

        // A window's parameters: only ints and bools are stored, so only they are read.
        const auto withParameter = [](const QByteArray& parameter) {
            return file(mainRecord + record({8, 0, 0, 0, 10, 10, 0}, parameter) + emptyPayload);
        };
        const QByteArray notNull(1, '\0');
        QTest::newRow("int") << withParameter(bigEndian({16, QMetaType::Int}) + notNull + bigEndian({5})) << ok << 2;
        QTest::newRow("bool") << withParameter(bigEndian({16, QMetaType::Bool}) + notNull + '\1') << ok << 2;
        QTest::newRow("rect") << withParameter(bigEndian({16, QMetaType::QRect}) + notNull + bigEndian({1, 2, 3, 4})) << failed << 1;
        QTest::newRow("string") << withParameter(bigEndian({16, QMetaType::QString}) + notNull + bigEndian({0x7ffffffe})) << failed << 1;
        QTest::newRow("null int") << withParameter(bigEndian({16, QMetaType::Int}) + QByteArray(1, '\1') + bigEndian({5})) << failed << 1;
        QTest::newRow("int cut short") << withParameter(bigEndian({16, QMetaType::Int}) + notNull + QByteArray(2, '\0')) << failed << 1;
        QTest::newRow("tag alone") << withParameter(bigEndian({16})) << failed << 1;
    }

    void readingStopsAtTheFirstDamage()
    {
        QFETCH(QByteArray, data);
        StubProjectWindows windows;
        QTEST(read(data, windows), "result");
        QTEST(windows.mainWindowRestored + int(windows.views.size()), "restored");
    }

    void truncatedAtEveryByteFailsWithoutWindows()
    {
        // N no longer matches what is left, so nothing of the workspace is touched.
        StubProjectWindows written;
        fillWorkspace(written);
        QByteArray data;
        QVERIFY(ProjectFileHelper(written).buildFileData(data));
        for (int size = 0; size < data.size(); ++size) {
            StubProjectWindows windows;
            QVERIFY2(read(data.left(size), windows) == ProjectFileHelper::ReadFailed, qPrintable(QString::number(size)));
            QCOMPARE(windows.mainWindowRestored, 0);
        }
    }

    void rectanglesAtTheEdgeOfIntReadBackExactly()
    {
        // QRect(x, y, w, h) would overflow on the way to these right and bottom edges.
        for (const QRect& edge : {QRect(QPoint(1, 2), QPoint(0x7fffffff, 0x7fffffff)),
                                  QRect(QPoint(-0x7fffffff - 1, -5), QPoint(-2, 0x7ffffff0))}) {
            StubProjectWindows windows;
            QCOMPARE(read(file(record({0, 0, edge.x(), edge.y(), edge.width(), edge.height(), 0})), windows),
                     int(ProjectFileHelper::ReadSucceeded));
            QCOMPARE(windows.mainWindow.rect, edge);
        }
    }

    void missingEmptyOrSequentialFileFails()
    {
        QTemporaryDir folder;
        const QString empty = folder.filePath(QStringLiteral("empty.tulvarmidi"));
        QVERIFY(writeFileBytes(empty, QByteArray()));
        StubProjectWindows windows;
        ProjectFileHelper helper(windows);
        for (const QString& path : {folder.filePath(QStringLiteral("missing.tulvarmidi")), empty, folder.path(),
                                    QStringLiteral("/dev/zero")}) {
            QVERIFY2(helper.readFile(path) == ProjectFileHelper::ReadFailed, qPrintable(path));
        }
    }

    void failedSaveLeavesOldFileWhole_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::newRow("view payload fails") << QStringLiteral("payload");
        QTest::newRow("parameter that cannot be stored") << QStringLiteral("parameter");
        QTest::newRow("folder cannot be written") << QStringLiteral("folder");
    }

    void failedSaveLeavesOldFileWhole()
    {
        QFETCH(QString, failure);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("song.tulvarmidi"));
        QVERIFY(writeFileBytes(path, "previous project"));
        StubProjectWindows windows;
        fillWorkspace(windows);
        if (failure == QLatin1String("payload")) {
            windows.views.back()->failPayload = true;
        } else if (failure == QLatin1String("parameter")) {
            windows.views.back()->info.parameters.append(QVariant(QStringLiteral("text")));
        } else {
            QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
        }
        // Asked while the folder is read-only: root may write into it all the same.
        const bool folderWritable = QFileInfo(folder.path()).isWritable();
        const int result = ProjectFileHelper(windows).writeFile(path);
        QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (failure == QLatin1String("folder") && folderWritable) {
            QSKIP("running with rights that ignore folder permissions");
        }
        QCOMPARE(result, int(ProjectFileHelper::WriteFailed));
        QCOMPARE(readFileBytes(path), QByteArray("previous project"));
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // A control change window's parameters, as a project file brings them back.
    void controllerNumberIsReadOnlyWhenValid_data()
    {
        QTest::addColumn<QList<QVariant>>("parameters");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("number");
        QTest::newRow("stored pair") << QList<QVariant>{127, 0} << true << 127;
        QTest::newRow("empty") << QList<QVariant>{} << false << 0;
        QTest::newRow("negative") << QList<QVariant>{-1, 0} << false << 0;
        QTest::newRow("above 127") << QList<QVariant>{128, 0} << false << 0;
        QTest::newRow("not a number") << QList<QVariant>{QString("volume"), 0} << false << 0;
    }

    void controllerNumberIsReadOnlyWhenValid()
    {
        QFETCH(QList<QVariant>, parameters);
        QFETCH(bool, valid);
        QFETCH(int, number);
        unsigned char result = 200;
        QCOMPARE(ControlChangeWindowRestorationInfo::controllerNumberFromParameters(parameters, result), valid);
        QCOMPARE(int(result), valid ? number : 200);
        if (valid) {
            QCOMPARE(ControlChangeWindowRestorationInfo(result).getRestorationParameters(), (QList<QVariant>{number, 0}));
        }
    }
};

QTEST_APPLESS_MAIN(tst_ProjectFile)
#include "tst_ProjectFile.moc"
