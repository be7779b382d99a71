#include "persistence/ProjectFileFormat.h"
#include "persistence/ProjectFileHelper.h"
#include "persistence/WindowRestorationInfo.h"
#include "persistence/StubProjectWindows.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

WindowInfoStruct windowInfo(int id, const QRect& rect, int state = 0, bool stayOnTop = false,
                            const QList<QVariant>& parameters = {})
{
    WindowInfoStruct info;
    info.windowId = id;
    info.rect = rect;
    info.windowState = state;
    info.stayOnTop = stayOnTop;
    info.parameters = parameters;
    return info;
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
QByteArray header(const char* version = "1.5.0")
{
    QByteArray bytes = QByteArray("KELDAN WORKS") + QByteArray(4, '\0');
    bytes += QByteArray("Tulvar MIDI") + QByteArray(5, '\0');
    const QByteArray versionText(version);
    bytes += versionText + QByteArray(16 - versionText.size(), '\0');
    return bytes + "WIND";
}

QByteArray withWindowData(const QByteArray& windowData, const char* version = "1.5.0")
{
    return header(version) + bigEndian({qint32(windowData.size())}) + windowData;
}

QByteArray record(const QByteArray& fields)
{
    return bigEndian({qint32(fields.size())}) + fields;
}

QByteArray mainRecord()
{
    return record(bigEndian({0, 0, 0, 0, 400, 300, 0}));
}

// A workspace that exercises every frame: a monitor, an editor with text, a control change
// window with its parameters, a stay-on-top maximised window.
void fillWorkspace(StubProjectWindows& windows)
{
    windows.mainWindow = windowInfo(0, QRect(30, 40, 679, 548), 2, true);
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiInMonitorId, QRect(0, 0, 338, 274)));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiMessageEditorId, QRect(5, 274, 400, 300), 0, true),
                          QStringLiteral("F0 7E 7F 09 01 F7 ; é"));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::ControlChangeId, QRect(-20, 7, 225, 250), 2, false,
                                     {QVariant(74), QVariant(0)}));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiMessageEditorId, QRect(1, 2, 3, 4)));
}

QByteArray workspaceBytes()
{
    StubProjectWindows windows;
    fillWorkspace(windows);
    QByteArray data;
    ProjectFileHelper(windows).buildFileData(data);
    return data;
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

class tst_ProjectFile : public QObject {
    Q_OBJECT

private slots:
    void emptyWorkspaceIsEightyEightBytes();
    void toolWindowsWriteRecordAndPayloadInOrder();
    void workspaceReadsBackWindowsPayloadsAndOrder();
    void versionDigitsAreComparedOneByOne_data();
    void versionDigitsAreComparedOneByOne();
    void damagedHeaderFails_data();
    void damagedHeaderFails();
    void truncatedAtEveryByteFailsWithoutWindows();
    void hugeAndNegativeLengthsFail_data();
    void hugeAndNegativeLengthsFail();
    void onlyStoredVariantTypesAreAccepted_data();
    void onlyStoredVariantTypesAreAccepted();
    void windowsBeforeADamagedRecordStayOpen();
    void unknownWindowIdFails();
    void impossibleGeometryFails();
    void monitorPayloadIsEmptyFrame();
    void writtenFileMatchesBuiltBytes();
    void missingEmptyOrSequentialFileFails();
    void failedSaveLeavesOldFileWhole_data();
    void failedSaveLeavesOldFileWhole();
    void digitConversion();
};

void tst_ProjectFile::emptyWorkspaceIsEightyEightBytes()
{
    StubProjectWindows windows;
    windows.mainWindow = windowInfo(0, QRect(10, 20, 679, 548), 2, true);
    QByteArray data;
    QVERIFY(ProjectFileHelper(windows).buildFileData(data));

    const QByteArray expected = QByteArray::fromHex(
        "4b454c44414e20574f524b5300000000"   // "KELDAN WORKS"
        "54756c766172204d4944490000000000"   // "Tulvar MIDI"
        "312e352e300000000000000000000000"   // "1.5.0"
        "57494e44"                           // "WIND"
        "00000020"                           // N = 32
        "0000001c"                           // L = 28
        "00000000" "00000001"                // main window, stays on top
        "0000000a" "00000014"                // x 10, y 20
        "000002a7" "00000224"                // 679 x 548
        "00000002");                         // maximised
    QCOMPARE(expected.size(), 88);
    QCOMPARE(data.toHex(), expected.toHex());
}

void tst_ProjectFile::toolWindowsWriteRecordAndPayloadInOrder()
{
    StubProjectWindows windows;
    windows.mainWindow = windowInfo(0, QRect(0, 0, 400, 300));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiInMonitorId, QRect(0, 0, 338, 274)));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::ControlChangeId, QRect(1, 2, 225, 250), 0, false,
                                     {QVariant(7), QVariant(0)}));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiMessageEditorId, QRect(3, 4, 10, 20)),
                          QStringLiteral("F0 F7"));
    QByteArray data;
    QVERIFY(ProjectFileHelper(windows).buildFileData(data));

    // A parameter is the tag 16, then Qt's QVariant: type 2 (int), null flag 0, the value.
    const QByteArray intParameter7 = bigEndian({16, 2}) + '\0' + bigEndian({7});
    const QByteArray intParameter0 = bigEndian({16, 2}) + '\0' + bigEndian({0});
    const QByteArray windowData = mainRecord()
        + record(bigEndian({1, 0, 0, 0, 338, 274, 0})) + bigEndian({0})
        + record(bigEndian({5, 0, 1, 2, 225, 250, 0}) + intParameter7 + intParameter0) + bigEndian({0})
        + record(bigEndian({3, 0, 3, 4, 10, 20, 0})) + bigEndian({13, 0, 5}) + "F0 F7";
    QCOMPARE(data.toHex(), withWindowData(windowData).toHex());
}

void tst_ProjectFile::workspaceReadsBackWindowsPayloadsAndOrder()
{
    StubProjectWindows written;
    fillWorkspace(written);
    QByteArray data;
    QVERIFY(ProjectFileHelper(written).buildFileData(data));

    StubProjectWindows read;
    read.addToolWindow(windowInfo(WindowRestorationInfo::KeyboardId, QRect(0, 0, 9, 9)));
    QCOMPARE(ProjectFileHelper(read).readFileData(data), int(ProjectFileHelper::ReadSucceeded));
    QCOMPARE(read.mainWindowRestored, 1);
    compareInfo(read.mainWindow, written.mainWindow);
    QCOMPARE(read.views.size(), written.views.size());
    for (size_t i = 0; i < written.views.size(); ++i) {
        compareInfo(read.views[i]->info, written.views[i]->info);
        QCOMPARE(read.views[i]->text, written.views[i]->text);
    }
}

void tst_ProjectFile::versionDigitsAreComparedOneByOne_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<int>("result");
    QTest::newRow("same") << QByteArray("1.5.0") << int(ProjectFileHelper::ReadSucceeded);
    QTest::newRow("older") << QByteArray("1.0.0") << int(ProjectFileHelper::ReadSucceeded);
    QTest::newRow("older minor") << QByteArray("1.4.0") << int(ProjectFileHelper::ReadSucceeded);
    QTest::newRow("not digits") << QByteArray("x.y.z") << int(ProjectFileHelper::ReadSucceeded);
    QTest::newRow("newer minor") << QByteArray("1.6.0") << int(ProjectFileHelper::ReadVersionTooNew);
    QTest::newRow("newer patch") << QByteArray("1.5.1") << int(ProjectFileHelper::ReadVersionTooNew);
    QTest::newRow("newer major") << QByteArray("2.0.0") << int(ProjectFileHelper::ReadVersionTooNew);
    QTest::newRow("older minor, higher patch digit") << QByteArray("1.4.9") << int(ProjectFileHelper::ReadVersionTooNew);
    QTest::newRow("older major, higher minor digit") << QByteArray("0.9.0") << int(ProjectFileHelper::ReadVersionTooNew);
}

void tst_ProjectFile::versionDigitsAreComparedOneByOne()
{
    QFETCH(QByteArray, version);
    QFETCH(int, result);
    StubProjectWindows windows;
    QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(mainRecord(), version.constData())), result);
    QCOMPARE(windows.mainWindowRestored, result == ProjectFileHelper::ReadSucceeded ? 1 : 0);
}

void tst_ProjectFile::damagedHeaderFails_data()
{
    QTest::addColumn<QByteArray>("data");
    const QByteArray good = withWindowData(mainRecord());
    QByteArray id1 = good;
    id1[3] = 'd';
    QByteArray id2Padding = good;
    id2Padding[31] = 'x';
    QByteArray chunk = good;
    chunk[48] = 'w';
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("first identifier") << id1;
    QTest::newRow("padding of the second identifier") << id2Padding;
    QTest::newRow("chunk ID") << chunk;
    QTest::newRow("N zero") << header() + bigEndian({0}) + mainRecord();
    QTest::newRow("N negative") << header() + bigEndian({-1}) + mainRecord();
    QTest::newRow("main record too short for its fields") << withWindowData(record(bigEndian({0, 0, 0, 0, 1, 1})));
    QTest::newRow("main record length zero") << withWindowData(bigEndian({0}));
}

void tst_ProjectFile::damagedHeaderFails()
{
    QFETCH(QByteArray, data);
    StubProjectWindows windows;
    QCOMPARE(ProjectFileHelper(windows).readFileData(data), int(ProjectFileHelper::ReadFailed));
    QCOMPARE(windows.mainWindowRestored, 0);
}

void tst_ProjectFile::truncatedAtEveryByteFailsWithoutWindows()
{
    // N no longer matches what is left, so nothing of the workspace is touched.
    const QByteArray data = workspaceBytes();
    for (int size = 0; size < data.size(); ++size) {
        StubProjectWindows windows;
        const int result = ProjectFileHelper(windows).readFileData(data.left(size));
        QVERIFY2(result == ProjectFileHelper::ReadFailed, qPrintable(QString::number(size)));
        QCOMPARE(windows.mainWindowRestored, 0);
    }
}

void tst_ProjectFile::hugeAndNegativeLengthsFail_data()
{
    QTest::addColumn<QByteArray>("windowData");
    const QByteArray monitor = record(bigEndian({1, 0, 0, 0, 338, 274, 0}));
    QTest::newRow("L huge") << bigEndian({0x7fffffff}) + bigEndian({0, 0, 0, 0, 1, 1, 0});
    QTest::newRow("L negative") << bigEndian({-28}) + bigEndian({0, 0, 0, 0, 1, 1, 0});
    QTest::newRow("P huge") << mainRecord() + monitor + bigEndian({0x7ffffff0}) + "abc";
    QTest::newRow("P negative") << mainRecord() + monitor + bigEndian({-4}) + "abcd";
    QTest::newRow("P beyond the end by one") << mainRecord() + monitor + bigEndian({4}) + "abc";
    QTest::newRow("P missing") << mainRecord() + monitor;
}

void tst_ProjectFile::hugeAndNegativeLengthsFail()
{
    QFETCH(QByteArray, windowData);
    StubProjectWindows windows;
    QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(windowData)), int(ProjectFileHelper::ReadFailed));
}

void tst_ProjectFile::onlyStoredVariantTypesAreAccepted_data()
{
    QTest::addColumn<QByteArray>("parameter");
    QTest::addColumn<bool>("accepted");
    const QByteArray notNull(1, '\0');
    QTest::newRow("int") << bigEndian({16, QMetaType::Int}) + notNull + bigEndian({5}) << true;
    QTest::newRow("bool") << bigEndian({16, QMetaType::Bool}) + notNull + '\1' << true;
    QTest::newRow("rect") << bigEndian({16, QMetaType::QRect}) + notNull + bigEndian({1, 2, 3, 4}) << false;
    QTest::newRow("string") << bigEndian({16, QMetaType::QString}) + notNull + bigEndian({0x7ffffffe}) << false;
    QTest::newRow("byte array") << bigEndian({16, QMetaType::QByteArray}) + notNull + bigEndian({4}) + "abcd" << false;
    QTest::newRow("list") << bigEndian({16, QMetaType::QVariantList}) + notNull + bigEndian({1000000}) << false;
    QTest::newRow("user type") << bigEndian({16, 127}) + notNull + bigEndian({3}) + "Foo" << false;
    QTest::newRow("invalid") << bigEndian({16, 0}) + notNull << false;
    QTest::newRow("null int") << bigEndian({16, QMetaType::Int}) + QByteArray(1, '\1') + bigEndian({5}) << false;
    QTest::newRow("int cut short") << bigEndian({16, QMetaType::Int}) + notNull + QByteArray(2, '\0') << false;
    QTest::newRow("tag alone") << bigEndian({16}) << false;
}

void tst_ProjectFile::onlyStoredVariantTypesAreAccepted()
{
    QFETCH(QByteArray, parameter);
    QFETCH(bool, accepted);
    const QByteArray windowData = mainRecord() + record(bigEndian({8, 0, 0, 0, 10, 10, 0}) + parameter) + bigEndian({0});
    StubProjectWindows windows;
    const int result = ProjectFileHelper(windows).readFileData(withWindowData(windowData));
    QCOMPARE(result, int(accepted ? ProjectFileHelper::ReadSucceeded : ProjectFileHelper::ReadFailed));
    QCOMPARE(int(windows.views.size()), accepted ? 1 : 0);
}

void tst_ProjectFile::windowsBeforeADamagedRecordStayOpen()
{
    const QByteArray stringParameter = bigEndian({16, QMetaType::QString}) + '\0' + bigEndian({0});
    const QByteArray windowData = mainRecord() + record(bigEndian({1, 0, 0, 0, 338, 274, 0})) + bigEndian({0})
        + record(bigEndian({3, 0, 0, 274, 338, 274, 0})) + bigEndian({0})
        + record(bigEndian({5, 0, 0, 0, 225, 250, 0}) + stringParameter) + bigEndian({0});
    StubProjectWindows windows;
    QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(windowData)), int(ProjectFileHelper::ReadFailed));
    QCOMPARE(windows.mainWindowRestored, 1);
    QCOMPARE(int(windows.views.size()), 2);
    QCOMPARE(windows.views[1]->info.windowId, int(WindowRestorationInfo::MidiMessageEditorId));
}

void tst_ProjectFile::unknownWindowIdFails()
{
    const QByteArray windowData = mainRecord() + record(bigEndian({15, 0, 0, 0, 10, 10, 0})) + bigEndian({0});
    StubProjectWindows windows;
    QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(windowData)), int(ProjectFileHelper::ReadFailed));
}

void tst_ProjectFile::impossibleGeometryFails()
{
    for (const QByteArray& fields : {bigEndian({0, 0, 0x7fffffff, 0, 2, 1, 0}), bigEndian({0, 0, 0, 0x7ffffff0, 1, 100, 0}),
                                     bigEndian({0, 0, 50, 0, qint32(0x80000000), 1, 0}), bigEndian({0, 0, 0, 0, 10, -1, 0})}) {
        StubProjectWindows windows;
        QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(record(fields))),
                 int(ProjectFileHelper::ReadFailed));
    }
    // Edges that just fit in an int read back exactly, without overflowing on the way.
    for (const QRect& edge : {QRect(QPoint(1, 2), QPoint(0x7fffffff, 0x7fffffff)),
                              QRect(QPoint(-0x7fffffff - 1, -5), QPoint(-2, 0x7ffffff0))}) {
        StubProjectWindows windows;
        const QByteArray fields = bigEndian({0, 0, edge.x(), edge.y(), edge.width(), edge.height(), 0});
        QCOMPARE(ProjectFileHelper(windows).readFileData(withWindowData(record(fields))),
                 int(ProjectFileHelper::ReadSucceeded));
        QCOMPARE(windows.mainWindow.rect, edge);
    }
}

void tst_ProjectFile::monitorPayloadIsEmptyFrame()
{
    // An editor with no text writes its tag and a zero length, and reads back empty.
    StubProjectWindows windows;
    windows.mainWindow = windowInfo(0, QRect(0, 0, 400, 300));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiOutMonitorId, QRect(0, 0, 338, 274)));
    windows.addToolWindow(windowInfo(WindowRestorationInfo::MidiMessageEditorId, QRect(0, 0, 338, 274)));
    QByteArray data;
    QVERIFY(ProjectFileHelper(windows).buildFileData(data));
    QVERIFY(data.endsWith(record(bigEndian({2, 0, 0, 0, 338, 274, 0})) + bigEndian({0})
                          + record(bigEndian({3, 0, 0, 0, 338, 274, 0})) + bigEndian({8, 0, 0})));

    StubProjectWindows read;
    QCOMPARE(ProjectFileHelper(read).readFileData(data), int(ProjectFileHelper::ReadSucceeded));
    QCOMPARE(int(read.views.size()), 2);
    QVERIFY(read.views[1]->text.isEmpty());
}

void tst_ProjectFile::writtenFileMatchesBuiltBytes()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("song.tulvarmidi"));
    StubProjectWindows windows;
    fillWorkspace(windows);
    QCOMPARE(ProjectFileHelper(windows).writeFile(path), int(ProjectFileHelper::WriteSucceeded));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), workspaceBytes());

    StubProjectWindows read;
    QCOMPARE(ProjectFileHelper(read).readFile(path), int(ProjectFileHelper::ReadSucceeded));
    QCOMPARE(int(read.views.size()), 4);
}

void tst_ProjectFile::missingEmptyOrSequentialFileFails()
{
    QTemporaryDir folder;
    const QString empty = folder.filePath(QStringLiteral("empty.tulvarmidi"));
    QFile file(empty);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    StubProjectWindows windows;
    ProjectFileHelper helper(windows);
    QCOMPARE(helper.readFile(folder.filePath(QStringLiteral("missing.tulvarmidi"))), int(ProjectFileHelper::ReadFailed));
    QCOMPARE(helper.readFile(empty), int(ProjectFileHelper::ReadFailed));
    QCOMPARE(helper.readFile(folder.path()), int(ProjectFileHelper::ReadFailed));
    QCOMPARE(helper.readFile(QStringLiteral("/dev/zero")), int(ProjectFileHelper::ReadFailed));
}

void tst_ProjectFile::failedSaveLeavesOldFileWhole_data()
{
    QTest::addColumn<QString>("failure");
    QTest::newRow("view payload fails") << QStringLiteral("payload");
    QTest::newRow("parameter that cannot be stored") << QStringLiteral("parameter");
    QTest::newRow("folder cannot be written") << QStringLiteral("folder");
}

void tst_ProjectFile::failedSaveLeavesOldFileWhole()
{
    QFETCH(QString, failure);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("song.tulvarmidi"));
    {
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("previous project");
    }
    StubProjectWindows windows;
    fillWorkspace(windows);
    if (failure == QLatin1String("payload")) {
        windows.views.back()->failPayload = true;
    } else if (failure == QLatin1String("parameter")) {
        windows.views.back()->info.parameters.append(QVariant(QStringLiteral("text")));
    } else {
        QVERIFY(QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::ExeOwner));
    }
    const int result = ProjectFileHelper(windows).writeFile(path);
    QFile::setPermissions(folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (failure == QLatin1String("folder") && QFileInfo(folder.path()).isWritable()) {
        QSKIP("running with rights that ignore folder permissions");
    }
    QCOMPARE(result, int(ProjectFileHelper::WriteFailed));
    QFile old(path);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("previous project"));
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void tst_ProjectFile::digitConversion()
{
    QCOMPARE(ProjectFileHelper::convertStringToInt('0'), 0);
    QCOMPARE(ProjectFileHelper::convertStringToInt('7'), 7);
    QCOMPARE(ProjectFileHelper::convertStringToInt('9'), 9);
    QCOMPARE(ProjectFileHelper::convertStringToInt('a'), 0);
    QCOMPARE(ProjectFileHelper::convertStringToInt('\0'), 0);
    QCOMPARE(ProjectFileHelper::convertStringToInt('/'), 0);
}

QTEST_APPLESS_MAIN(tst_ProjectFile)
#include "tst_ProjectFile.moc"
