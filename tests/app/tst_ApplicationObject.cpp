#include "app/CApplication.h"
#include "app/MainWindow.h"
#include "app/NativeEventFilter.h"

#include <QDialog>
#include <QFileOpenEvent>
#include <QtTest>

namespace {

class RecordingApplication : public CApplication {
public:
    using CApplication::CApplication;
    QStringList openedFiles;

protected:
    void openFileFromPlatform(QString const& path) override { openedFiles.append(path); }
};

RecordingApplication* application()
{
    return static_cast<RecordingApplication*>(qApp);
}

} // namespace

class tst_ApplicationObject : public QObject {
    Q_OBJECT

private slots:
    // A platform request opens the project, but not while a modal window is up.
    void platformFileOpenRequestsOpenTheProjectWhenNoModalWindowIsUp()
    {
        QFileOpenEvent event(QStringLiteral("/tmp/setup.tulvarmidi"));
        {
            QDialog dialog;
            dialog.setModal(true);
            dialog.show();
            QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
            QCoreApplication::sendEvent(qApp, &event);
            QVERIFY(application()->openedFiles.isEmpty());
        }
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCoreApplication::sendEvent(qApp, &event);
        QCOMPARE(application()->openedFiles, QStringList{"/tmp/setup.tulvarmidi"});
    }

    void filterDoesNothingWithoutAMainWindow()
    {
        QVERIFY(MainWindow::m_pInstance == nullptr);
        NativeEventFilter filter;
        QWidget widget;
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        qApp->installEventFilter(&filter);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(!filter.eventFilter(widget.windowHandle(), &press));
        qApp->removeEventFilter(&filter);
    }
};

int main(int argc, char** argv)
{
    RecordingApplication app(argc, argv);
    tst_ApplicationObject test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_ApplicationObject.moc"
