#include "ShellTestSupport.h"

#include "support/CommonTexts.h"
#include "model/TulvarMidiParameters.h"
#include "persistence/ProjectFileFormat.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
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
    void damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath();
    void failedSaveShowsMessageAndKeepsTheOldFile();
    void oversizedMainWindowIsKeptToTheDesktop();

private:
    QMdiSubWindow* openEditor(const QString& text);
    QString saveWorkspace();
    QList<QMdiSubWindow*> toolWindows() const;

    std::unique_ptr<ShellFixture> f;
    std::unique_ptr<QTemporaryDir> m_folder;
};

void tst_ProjectFileFlows::init()
{
    f = std::make_unique<ShellFixture>();
    m_folder = std::make_unique<QTemporaryDir>();
    // Monitors and editors are the real views; the kinds without a view yet are stand-ins.
    installStandInCreators(f->create());
    f->window->setOpenedWithFile(true);
    f->window->show();
    QVERIFY(QTest::qWaitForWindowExposed(f->window.get()));
}

void tst_ProjectFileFlows::cleanup()
{
    f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
    f.reset();
    m_folder.reset();
}

QMdiSubWindow* tst_ProjectFileFlows::openEditor(const QString& text)
{
    SubWindowRequest request{WindowRestorationInfo::MidiMessageEditorId};
    request.text = text;
    return f->window->subWindows().openSubWindow(request);
}

QString tst_ProjectFileFlows::saveWorkspace()
{
    const QString path = m_folder->filePath(QStringLiteral("song.tulvarmidi"));
    return f->window->saveProjectFile(path) ? path : QString();
}

QList<QMdiSubWindow*> tst_ProjectFileFlows::toolWindows() const
{
    return f->window->getSubWindowList();
}

void tst_ProjectFileFlows::roundTripRestoresWindowsOrderGeometryStatesAndTexts()
{
    QMdiSubWindow* in = f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId});
    QMdiSubWindow* out = f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiOutMonitorId});
    QMdiSubWindow* first = openEditor(QStringLiteral("F0 7E 7F 09 01 F7"));
    SubWindowRequest receivingRequest{WindowRestorationInfo::MidiMessageEditorId};
    receivingRequest.receiving = true;
    QMdiSubWindow* receiving = f->window->subWindows().openSubWindow(receivingRequest);
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
        f->window->getMdiArea()->setActiveSubWindow(window);
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
    f->window->newFile();
    QCOMPARE(toolWindows().size(), 3);
    QVERIFY(f->window->openProjectFile(path));

    const QList<QMdiSubWindow*> restored = toolWindows();
    QCOMPARE(restored.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        auto* view = qobject_cast<MidiEditView*>(restored.at(i)->widget());
        QVERIFY(view != nullptr);
        QCOMPARE(view->isReceiving(), expected.at(i).kind == WindowRestorationInfo::MidiInMonitorId);
        QCOMPARE(int(view->getWindowId()), expected.at(i).kind);
        QCOMPARE(f->window->getNormalRect(restored.at(i)), expected.at(i).rect);
        QCOMPARE(restored.at(i)->windowState() & ~Qt::WindowActive, expected.at(i).state);
        QCOMPARE(restored.at(i)->windowFlags().testFlag(Qt::WindowStaysOnTopHint), expected.at(i).stayOnTop);
        QCOMPARE(textOf(restored.at(i)), expected.at(i).text);
    }
    QCOMPARE(f->window->getMdiArea()->activeSubWindow(), restored.last());
    QCOMPARE(f->model.getParameterEditFlag(), int(ParameterEditFlagUnchanged));
}

void tst_ProjectFileFlows::savingNamesTheProjectInTitleAndFolder()
{
    openEditor(QStringLiteral("F0 F7"));
    f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI*"));

    const QString path = saveWorkspace();
    QVERIFY(!path.isEmpty());
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
    QCOMPARE(f->model.getProjectFilePath(), QFileInfo(path).absoluteFilePath());
    QCOMPARE(f->model.getModelStringValue(ProjectFileWorkingDirectoryParameterId), QFileInfo(path).absolutePath());

    f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi*"));
    QVERIFY(f->window->saveFile());
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));

    // Opened by name, as from the command line or a drop: no dialog, same naming.
    f->window->newFile();
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI"));
    QVERIFY(f->model.getProjectFilePath().isEmpty());
    QVERIFY(f->window->openFile(path));
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
    QCOMPARE(toolWindows().size(), 1);
}

void tst_ProjectFileFlows::openingFailuresShowTheirMessage_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("message");
    QByteArray header = QByteArray("KELDAN WORKS") + QByteArray(4, '\0') + QByteArray("Tulvar MIDI") + QByteArray(5, '\0');
    QTest::newRow("newer version") << header + "1.6.0" + QByteArray(11, '\0') << FileFormatVersionErrorMessage;
    QTest::newRow("not a project") << QByteArray("F0 7E 7F 09 01 F7\n") << FileOpenFailedMessage;
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

    QVERIFY(!f->window->openProjectFile(path));
    QCOMPARE(f->boxes.texts, QStringList{message});
    QCOMPARE(f->boxes.titles, QStringList{QStringLiteral("Tulvar MIDI")});
    // Nothing was replaced, so the previous project is still the one open.
    QCOMPARE(f->model.getProjectFilePath(), QFileInfo(previous).absoluteFilePath());
}

// Which damage is refused is the file format's and the editor's concern; here one damaged
// payload shows what the workspace and the project path become.
void tst_ProjectFileFlows::damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath()
{
    f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId});
    openEditor(QStringLiteral("F0 F7"));
    const QString path = saveWorkspace();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QByteArray bytes = file.readAll();
    // The file ends with the editor's payload frame: P = 13, tag 0, length 5, "F0 F7".
    QVERIFY(bytes.endsWith(QByteArray::fromHex("0000000D" "00000000" "00000005") + "F0 F7"));
    bytes[bytes.size() - 13 + 3] = 7;
    QVERIFY(file.resize(0));
    file.write(bytes);
    file.close();

    QVERIFY(!f->window->openProjectFile(path));
    QCOMPARE(f->boxes.texts, QStringList{FileOpenFailedMessage});
    // The monitor and the editor were made before the editor's payload was read.
    const QList<QMdiSubWindow*> open = toolWindows();
    QCOMPARE(open.size(), 2);
    QVERIFY(textOf(open.last()).isEmpty());
    // A save must now ask for a name instead of overwriting song.tulvarmidi with half of it.
    QVERIFY(f->model.getProjectFilePath().isEmpty());
    QCOMPARE(f->model.getParameterEditFlag(), int(ParameterEditFlagChanged));
    QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI*"));
}

void tst_ProjectFileFlows::failedSaveShowsMessageAndKeepsTheOldFile()
{
    openEditor(QStringLiteral("F0 F7"));
    const QString path = saveWorkspace();
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QVERIFY(!f->window->saveProjectFile(m_folder->filePath(QStringLiteral("missing/other.tulvarmidi"))));
    QCOMPARE(f->boxes.texts, QStringList{FileSaveFailedMessage});
    QCOMPARE(f->model.getProjectFilePath(), QFileInfo(path).absoluteFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

// As for the settings file: a project from a larger desktop, or edited by hand, never makes the
// main window larger than this desktop.
void tst_ProjectFileFlows::oversizedMainWindowIsKeptToTheDesktop()
{
    f->window->setGeometry(QRect(40, 40, 100000, 100000));
    QCOMPARE(f->window->geometry().size(), QSize(100000, 100000));
    const QString path = saveWorkspace();
    f->window->setGeometry(QRect(40, 40, 400, 300));
    QVERIFY(f->window->openProjectFile(path));
    const QSize desktop = QGuiApplication::primaryScreen()->availableVirtualGeometry().size();
    QVERIFY2(f->window->geometry().width() <= desktop.width() && f->window->geometry().height() <= desktop.height(),
             qPrintable(QStringLiteral("%1 x %2").arg(f->window->geometry().width()).arg(f->window->geometry().height())));
}

QTEST_MAIN(tst_ProjectFileFlows)
#include "tst_ProjectFileFlows.moc"
