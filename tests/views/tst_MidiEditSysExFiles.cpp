#include "MidiEditFixture.h"

#include "persistence/SysExFile.h"
#include "views/MidiEditProgressView.h"

#include <QFileDialog>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <QtTest>

namespace {

constexpr int Timeout = 10000;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

bool writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class MidiEditSysExFilesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { f = std::make_unique<MidiEditFixture>(); }
    void cleanup() { f.reset(); }

    void openedDumpTransmitsExactlyTheFileBytes()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("patch.syx"));
        const QByteArray dump = QByteArray::fromHex("f0437e0001f7b0077ff0437e0002f7");
        QVERIFY(writeAll(path, dump));
        MidiEditView* view = f->make(MidiEditView::SystemExclusiveEdit, QString(), true);
        view->generalView()->loadTextFile(path);
        QCOMPARE(textOf(view), QStringLiteral("F0 43 7E 00 01 F7\nB0 07 7F\nF0 43 7E 00 02 F7\n"));
        QCOMPARE(f->model.getModelStringValue(DumpFileWorkingDirectoryParameterId), folder.path());

        view->generalView()->transmitMidi();
        QTRY_COMPARE_WITH_TIMEOUT(f->mainWindow.transmitter.byteCount(), dump.size(), Timeout);
        QCOMPARE(f->mainWindow.transmitter.sentBytes().join(), dump);
    }

    void savingAsSysExWritesTheBytesOrNothing()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("out.syx"));
        MidiEditView* view = f->make(MidiEditView::SystemExclusiveEdit, QStringLiteral("f0 7e 7f // identity\n06,01 F7"));
        QVERIFY(view->generalView()->saveTextFile(path));
        QCOMPARE(readAll(path), QByteArray::fromHex("f07e7f0601f7"));

        // A text that does not convert is refused with its position and leaves the file alone.
        view->generalView()->setText(QStringLiteral("F0 01\nF0 0G F7"));
        QVERIFY(!view->generalView()->saveTextFile(path));
        QCOMPARE(f->mainWindow.errors,
                 QStringList({"File save failed.\nLine 2, column 5: \"G\" is not a hexadecimal digit."}));
        QCOMPARE(readAll(path), QByteArray::fromHex("f07e7f0601f7"));
    }

    void receivedMessagesSaveByteExact()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("received.syx"));
        MidiEditView* receiver = f->make(MidiEditView::SystemExclusiveReceive, QString(), true);
        receiver->receivedMessage(QStringLiteral("\nF0 7E 00 06 02 43 00 41 F7"), 9);
        receiver->receivedMessage(QStringLiteral("\nF0 01 F7"), 3);
        QTest::keyClick(receiver->progressView(), Qt::Key_Return);
        QVERIFY(receiver->generalView()->saveTextFile(path));
        QCOMPARE(readAll(path), QByteArray::fromHex("f07e0006024300 41f7f001f7"));
    }

    void tooLargeFileIsRefusedWithAMessage()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("huge.syx"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(SysExFile::MaximumSize + 1));
        file.close();
        MidiEditView* view = f->make(MidiEditView::SystemExclusiveEdit);
        view->generalView()->loadTextFile(path);
        QCOMPARE(f->mainWindow.errors, QStringList({"The file is larger than 16 MiB and was not opened."}));
        QVERIFY(textOf(view).isEmpty());
        QVERIFY(f->mainWindow.openedEditors.isEmpty());
    }

    void droppedDumpLoadsIntoTheEditor()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dropped.SYX"));
        QVERIFY(writeAll(path, QByteArray::fromHex("f00102f7")));
        MidiEditView* view = f->make(MidiEditView::SystemExclusiveEdit, QString(), true);
        QVERIFY(sendDrag(view->generalView()->textView(), path));
        QCOMPARE(textOf(view), QStringLiteral("F0 01 02 F7\n"));
        // An editor with text opens the dump in a new editor.
        QVERIFY(sendDrag(view->generalView()->textView(), path));
        QCOMPARE(f->mainWindow.openedEditors.size(), 1);
        QCOMPARE(f->mainWindow.openedEditors.first().text, QStringLiteral("F0 01 02 F7\n"));
    }

    void dialogsOfferBothFileKinds()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("dump.syx"));
        QVERIFY(writeAll(path, QByteArray::fromHex("f07ff7")));
        f->model.setModelStringValue(DumpFileWorkingDirectoryParameterId, folder.path());
        MidiEditView* view = f->make(MidiEditView::SystemExclusiveEdit, QString(), true);
        QStringList filters;
        QTimer::singleShot(0, this, [&] {
            QTRY_VERIFY(qobject_cast<QFileDialog*>(QApplication::activeModalWidget()) != nullptr);
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            filters = dialog->nameFilters();
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        view->generalView()->openMenuSelected();
        QCOMPARE(filters, QStringList({"Text Files (*.txt)", "System Exclusive Files (*.syx)"}));
        QCOMPARE(textOf(view), QStringLiteral("F0 7F F7\n"));
    }

private:
    std::unique_ptr<MidiEditFixture> f;
};

QTEST_MAIN(MidiEditSysExFilesTest)
#include "tst_MidiEditSysExFiles.moc"
