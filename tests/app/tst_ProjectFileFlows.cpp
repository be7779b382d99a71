#include "ShellTestSupport.h"

#include "app/support/CommonTexts.h"
#include "model/TulvarMidiParameters.h"
#include "persistence/ProjectFileFormat.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString textOf(QMdiSubWindow* window)
{
    return qobject_cast<MidiEditView*>(window->widget())->generalView()->textView()->toPlainText();
}

struct ExpectedWindow {
    int kind;
    QRect rect;
    Qt::WindowStates state;
    bool stayOnTop;
    QString text;
};

} // namespace

class tst_ProjectFileFlows : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void roundTripRestoresWindowsOrderGeometryStatesAndTexts();
    void savingNamesTheProjectInTitleAndFolder();
    void openingFailuresShowTheirMessage_data();
    void openingFailuresShowTheirMessage();
    void damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath_data();
    void damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath();
    void failedSaveShowsMessageAndKeepsTheOldFile();
    void newProjectForgetsThePath();

private:
    QMdiSubWindow* openEditor(const QString& text);
    QString saveWorkspace();
    QList<QMdiSubWindow*> toolWindows() const;

    std::unique_ptr<TulvarMidiModel> m_model;
    std::unique_ptr<LoopbackMidiService> m_service;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void tst_ProjectFileFlows::init()
{
    removeSettingsFile();
    m_folder = std::make_unique<QTemporaryDir>();
    m_model = std::make_unique<TulvarMidiModel>();
    m_service = std::make_unique<LoopbackMidiService>();
    m_window = std::make_unique<MainWindow>(nullptr, m_model.get(), *m_service);
    // Monitors and editors are the real views; the kinds without a view yet are stand-ins.
    installStandInCreators(*m_window);
    m_window->setOpenedWithFile(true);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void tst_ProjectFileFlows::cleanup()
{
    m_model->setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    m_window.reset();
    m_service.reset();
    m_model.reset();
    m_folder.reset();
    removeSettingsFile();
}

QMdiSubWindow* tst_ProjectFileFlows::openEditor(const QString& text)
{
    MainWindow::SubWindowRequest request{WindowRestorationInfo::MidiMessageEditorId};
    request.text = text;
    return m_window->openSubWindow(request);
}

QString tst_ProjectFileFlows::saveWorkspace()
{
    const QString path = m_folder->filePath(QStringLiteral("song.tulvarmidi"));
    return m_window->saveProjectFile(path) ? path : QString();
}

QList<QMdiSubWindow*> tst_ProjectFileFlows::toolWindows() const
{
    return m_window->getSubWindowList();
}

void tst_ProjectFileFlows::roundTripRestoresWindowsOrderGeometryStatesAndTexts()
{
    QMdiSubWindow* in = m_window->openSubWindow({WindowRestorationInfo::MidiInMonitorId});
    QMdiSubWindow* out = m_window->openSubWindow({WindowRestorationInfo::MidiOutMonitorId});
    QMdiSubWindow* first = openEditor(QStringLiteral("F0 7E 7F 09 01 F7"));
    MainWindow::SubWindowRequest receivingRequest{WindowRestorationInfo::MidiMessageEditorId};
    receivingRequest.receiving = true;
    QMdiSubWindow* receiving = m_window->openSubWindow(receivingRequest);
    QMdiSubWindow* second = openEditor(QStringLiteral("90 3C 64 ; note é"));
    QVERIFY(in && out && first && receiving && second);
    // What a receiving editor collected is not saved.
    qobject_cast<MidiEditView*>(receiving->widget())->receivedMessage(QStringLiteral("\nF0 41 F7"), 3);
    QCOMPARE(textOf(receiving), QStringLiteral("F0 41 F7"));

    in->setGeometry(10, 20, 300, 200);
    out->setGeometry(320, 20, 280, 210);
    first->setGeometry(15, 240, 330, 260);
    receiving->setGeometry(5, 6, 200, 150);
    second->setGeometry(360, 250, 310, 240);
    out->setWindowFlags(out->windowFlags() | Qt::WindowStaysOnTopHint);
    out->show();
    // Activation order: Out, second editor, In, receiving editor, first editor (active, maximised).
    const QList<QMdiSubWindow*> order{out, second, in, receiving, first};
    for (QMdiSubWindow* window : order) {
        m_window->getMdiArea()->setActiveSubWindow(window);
    }
    first->showMaximized();
    QCOMPARE(toolWindows(), order);

    const QList<ExpectedWindow> expected{
        {WindowRestorationInfo::MidiOutMonitorId, QRect(320, 20, 280, 210), Qt::WindowNoState, true, QString()},
        {WindowRestorationInfo::MidiMessageEditorId, QRect(360, 250, 310, 240), Qt::WindowNoState, false,
         QStringLiteral("90 3C 64 ; note é")},
        {WindowRestorationInfo::MidiInMonitorId, QRect(10, 20, 300, 200), Qt::WindowNoState, false, QString()},
        {WindowRestorationInfo::MidiMessageEditorId, QRect(5, 6, 200, 150), Qt::WindowNoState, false, QString()},
        {WindowRestorationInfo::MidiMessageEditorId, QRect(15, 240, 330, 260), Qt::WindowMaximized, false,
         QStringLiteral("F0 7E 7F 09 01 F7")},
    };

    const QString path = saveWorkspace();
    QVERIFY(!path.isEmpty());
    m_window->newFile();
    QCOMPARE(toolWindows().size(), 3);
    QVERIFY(m_window->openProjectFile(path));

    const QList<QMdiSubWindow*> restored = toolWindows();
    QCOMPARE(restored.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        auto* view = qobject_cast<MidiEditView*>(restored.at(i)->widget());
        QVERIFY(view != nullptr);
        QCOMPARE(view->isReceiving(), expected.at(i).kind == WindowRestorationInfo::MidiInMonitorId);
        QCOMPARE(int(view->getWindowId()), expected.at(i).kind);
        QCOMPARE(m_window->getNormalRect(restored.at(i)), expected.at(i).rect);
        QCOMPARE(restored.at(i)->windowState() & ~Qt::WindowActive, expected.at(i).state);
        QCOMPARE(restored.at(i)->windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected.at(i).stayOnTop);
        QCOMPARE(textOf(restored.at(i)), expected.at(i).text);
    }
    QCOMPARE(m_window->getMdiArea()->activeSubWindow(), restored.last());
    QCOMPARE(m_model->getParameterEditFlag(), int(ParameterEditFlagUnchanged));
}

void tst_ProjectFileFlows::savingNamesTheProjectInTitleAndFolder()
{
    openEditor(QStringLiteral("F0 F7"));
    m_model->setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI*"));

    const QString path = saveWorkspace();
    QVERIFY(!path.isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
    QCOMPARE(m_model->getProjectFilePath(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(m_model->getModelStringValue(ProjectFileWorkingDirectoryParameterId), QFileInfo(path).absolutePath());

    m_model->setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi*"));
    QVERIFY(m_window->saveFile());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));

    // Opened by name, as from the command line or a drop: no dialog, same naming.
    m_window->newFile();
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI"));
    QVERIFY(m_window->openFile(path));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
    QCOMPARE(toolWindows().size(), 1);
}

void tst_ProjectFileFlows::openingFailuresShowTheirMessage_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QByteArray header = QByteArray("KELDAN WORKS") + QByteArray(4, '\0') + QByteArray("Tulvar MIDI") + QByteArray(5, '\0');
    QTest::newRow("newer version") << header + "1.6.0" + QByteArray(11, '\0') << FileFormatVersionErrorMessage;
    QTest::newRow("not a project") << QByteArray("F0 7E 7F 09 01 F7\n") << FileOpenFailedMessage;
    QTest::newRow("empty") << QByteArray() << FileOpenFailedMessage;
}

void tst_ProjectFileFlows::openingFailuresShowTheirMessage()
{
    QFETCH(QByteArray, contents);
    QFETCH(QString, message);
    const QString previous = saveWorkspace();
    const QString path = m_folder->filePath(QStringLiteral("bad.tulvarmidi"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();

    MessageBoxAnswerer boxes;
    QVERIFY(!m_window->openProjectFile(path));
    QCOMPARE(boxes.texts, QStringList{message});
    QCOMPARE(boxes.titles, QStringList{QStringLiteral("Tulvar MIDI")});
    // Nothing was replaced, so the previous project is still the one open.
    QCOMPARE(m_model->getProjectFilePath(), QFileInfo(previous).absoluteFilePath());
}

void tst_ProjectFileFlows::damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath_data()
{
    QTest::addColumn<int>("damage");
    QTest::newRow("wrong tag") << 0;
    QTest::newRow("size beyond the payload") << 1;
    QTest::newRow("truncated text") << 2;
}

void tst_ProjectFileFlows::damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath()
{
    QFETCH(int, damage);
    m_window->openSubWindow({WindowRestorationInfo::MidiInMonitorId});
    openEditor(QStringLiteral("F0 F7"));
    const QString path = saveWorkspace();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // The file ends with the editor's payload frame: P = 13, tag 0, length 5, "F0 F7".
    QVERIFY(bytes.endsWith(QByteArray::fromHex("0000000D" "00000000" "00000005") + "F0 F7"));
    const int record = bytes.size() - 13;
    if (damage == 0) {
        bytes[record + 3] = 7;
    } else if (damage == 1) {
        bytes.replace(record + 4, 4, QByteArray::fromHex("7FFFFFFF"));
    } else {
        // One byte of the text gone, the frame and the window data length still whole.
        bytes.chop(1);
        bytes[record - 1] = 12;
        const QByteArray length = QByteArray::fromHex(QByteArray::number(bytes.size() - 56, 16).rightJustified(8, '0'));
        bytes.replace(52, 4, length);
    }
    QVERIFY(file.resize(0));
    file.write(bytes);
    file.close();

    MessageBoxAnswerer boxes;
    QVERIFY(!m_window->openProjectFile(path));
    QCOMPARE(boxes.texts, QStringList{FileOpenFailedMessage});
    // The monitor and the editor were made before the editor's payload was read.
    const QList<QMdiSubWindow*> open = toolWindows();
    QCOMPARE(open.size(), 2);
    QVERIFY(textOf(open.last()).isEmpty());
    // A save must now ask for a name instead of overwriting song.tulvarmidi with half of it.
    QVERIFY(m_model->getProjectFilePath().isEmpty());
    QCOMPARE(m_model->getParameterEditFlag(), int(ParameterEditFlagChanged));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI*"));
}

void tst_ProjectFileFlows::failedSaveShowsMessageAndKeepsTheOldFile()
{
    openEditor(QStringLiteral("F0 F7"));
    const QString path = saveWorkspace();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    MessageBoxAnswerer boxes;
    QVERIFY(!m_window->saveProjectFile(m_folder->filePath(QStringLiteral("missing/other.tulvarmidi"))));
    QCOMPARE(boxes.texts, QStringList{FileSaveFailedMessage});
    QCOMPARE(m_model->getProjectFilePath(), QFileInfo(path).absoluteFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

void tst_ProjectFileFlows::newProjectForgetsThePath()
{
    saveWorkspace();
    m_window->newFile();
    QVERIFY(m_model->getProjectFilePath().isEmpty());
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Tulvar MIDI"));
}

QTEST_MAIN(tst_ProjectFileFlows)
#include "tst_ProjectFileFlows.moc"
