// The main window over its project file. The file's form is the persistence tests', each view's
// payload its own test's; here which windows the workspace saves and gets back, and how the
// window names the project.

#include "ShellTestSupport.h"

#include "support/CommonTexts.h"
#include "model/TulvarMidiParameters.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditTextView.h"
#include "views/MidiEditView.h"

#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString textOf(QMdiSubWindow* window)
{
    return qobject_cast<MidiEditView*>(window->widget())->generalView()->textView()->toPlainText();
}

} // namespace

class tst_ProjectFileFlows : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        f = std::make_unique<ShellFixture>();
        m_folder = std::make_unique<QTemporaryDir>();
        f->show(true);
        m_path = m_folder->filePath(QStringLiteral("song.tulvarmidi"));
    }

    void cleanup()
    {
        f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagUnchanged);
        f.reset();
        m_folder.reset();
    }

    // A failed Save As keeps the project it had; opened by name (command line, drop) it is named alike.
    void savingNamesTheProjectInTitleAndFolder()
    {
        openEditor(QStringLiteral("F0 F7"));
        f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI*"));
        QVERIFY(f->window->saveProjectFile(m_path));
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
        QCOMPARE(f->model.getProjectFilePath(), QFileInfo(m_path).absoluteFilePath());
        QCOMPARE(f->model.getModelStringValue(ProjectFileWorkingDirectoryParameterId), m_folder->path());

        f->model.setModelIntValue(EditFlagParameterId, ParameterEditFlagChanged);
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi*"));
        QVERIFY(f->window->saveFile());
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
        QVERIFY(!f->window->saveProjectFile(m_folder->filePath(QStringLiteral("missing/other.tulvarmidi"))));
        QCOMPARE(f->boxes.texts, QStringList{FileSaveFailedMessage});
        QCOMPARE(f->model.getProjectFilePath(), QFileInfo(m_path).absoluteFilePath());

        f->window->newFile();
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI"));
        QVERIFY(f->window->openFile(m_path));
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI - song.tulvarmidi"));
        QCOMPARE(f->window->getSubWindowList().size(), 1);
    }

    // Which damage is refused is the file format's and the editor's concern; here one damaged
    // payload shows what the workspace and the project path become.
    void damagedEditorKeepsEarlierWindowsAndForgetsThePreviousPath()
    {
        f->window->subWindows().openSubWindow({WindowRestorationInfo::MidiInMonitorId});
        openEditor(QStringLiteral("F0 F7"));
        QVERIFY(f->window->saveProjectFile(m_path));
        QFile file(m_path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        // The file ends with the editor's payload frame: P = 13, tag 0, length 5, "F0 F7".
        QVERIFY(bytes.endsWith(QByteArray::fromHex("0000000D" "00000000" "00000005") + "F0 F7"));
        bytes[bytes.size() - 13 + 3] = 7;
        QVERIFY(file.resize(0));
        file.write(bytes);
        file.close();

        QVERIFY(!f->window->openProjectFile(m_path));
        QCOMPARE(f->boxes.texts, QStringList{FileOpenFailedMessage});
        // The monitor and the editor were made before the editor's payload was read.
        QCOMPARE(f->window->getSubWindowList().size(), 2);
        QVERIFY(textOf(f->window->getSubWindowList().last()).isEmpty());
        // A save must now ask for a name instead of overwriting song.tulvarmidi with half of it.
        QVERIFY(f->model.getProjectFilePath().isEmpty());
        QCOMPARE(f->model.getParameterEditFlag(), int(ParameterEditFlagChanged));
        QCOMPARE(f->window->windowTitle(), QStringLiteral("Tulvar MIDI*"));
    }

private:
    QMdiSubWindow* openEditor(const QString& text)
    {
        SubWindowRequest request{WindowRestorationInfo::MidiMessageEditorId};
        request.text = text;
        return f->window->subWindows().openSubWindow(request);
    }

    std::unique_ptr<ShellFixture> f;
    std::unique_ptr<QTemporaryDir> m_folder;
    QString m_path;
};

QTEST_MAIN(tst_ProjectFileFlows)
#include "tst_ProjectFileFlows.moc"
