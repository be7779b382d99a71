// What the platform delivers to the application object: file-open requests, and keys and clicks
// seen by the native event filter before any widget.

#include "app/CApplication.h"
#include "app/MainWindow.h"
#include "app/NativeEventFilter.h"

#include <QDialog>
#include <QFileOpenEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

namespace {

class RecordingApplication : public CApplication {
public:
    using CApplication::CApplication;
    QStringList openedFiles;

protected:
    void openFileFromPlatform(QString const& path) override { openedFiles.append(path); }
};

class RecordingFilter : public NativeEventFilter {
public:
    QStringList calls;
    bool consumeKeys = false;
    bool consumeClicks = false;

protected:
    bool keyDown(unsigned int character) override
    {
        calls.append(QStringLiteral("down:") + QChar(character));
        return consumeKeys;
    }
    bool keyUp(unsigned int character) override
    {
        calls.append(QStringLiteral("up:") + QChar(character));
        return consumeKeys;
    }
    bool mouseButtonDown() override
    {
        calls.append(QStringLiteral("click"));
        return consumeClicks;
    }
};

} // namespace

class tst_PlatformEvents : public QObject {
    Q_OBJECT

private:
    RecordingFilter filter;
    QWidget* window = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* button = nullptr;

private slots:
    void initTestCase() { qApp->installEventFilter(&filter); }
    void cleanupTestCase() { qApp->removeEventFilter(&filter); }

    void init()
    {
        window = new QWidget;
        auto* layout = new QVBoxLayout(window);
        edit = new QLineEdit;
        button = new QPushButton(QStringLiteral("Press"));
        layout->addWidget(edit);
        layout->addWidget(button);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window));
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        filter.calls.clear();
        filter.consumeKeys = false;
        filter.consumeClicks = false;
    }

    void cleanup() { delete window; }

    // Each event: P or R (press, release; lower case when auto-repeated), "^" for Control, then the
    // key's text. A held key is one note: its repeats and keys that type nothing play nothing; under
    // a modal window no note starts, but a release still ends one.
    void keysAreSeenOnceBeforeTheWidget_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("consume");
        QTest::addColumn<bool>("modal");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("typed");
        QTest::newRow("key") << QStringList{"Pa", "Ra"} << false << false << QStringList{"down:a", "up:a"} << "a";
        QTest::newRow("consumed") << QStringList{"Pz", "Rz"} << true << false << QStringList{"down:z", "up:z"} << "";
        QTest::newRow("auto-repeated") << QStringList{"Pa", "ra", "pa", "ra", "pa", "Ra"} << false << false
                                       << QStringList{"down:a", "up:a"} << "aaa";
        QTest::newRow("control") << QStringList{"^Ps", "^Rs"} << false << false << QStringList{} << "";
        QTest::newRow("no text") << QStringList{"P", "R"} << false << false << QStringList{} << "";
        QTest::newRow("modal window") << QStringList{"Pd", "Rd"} << false << true << QStringList{"up:d"} << "";
    }

    void keysAreSeenOnceBeforeTheWidget()
    {
        QFETCH(QStringList, events);
        QFETCH(bool, consume);
        QFETCH(bool, modal);
        QFETCH(QStringList, calls);
        filter.consumeKeys = consume;
        QDialog dialog(window);
        if (modal) {
            dialog.setModal(true);
            dialog.show();
            QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        }
        // Delivered the way the window system delivers it: to the window, which passes it on.
        QWindow* target = (modal ? &dialog : window)->windowHandle();
        for (QString event : events) {
            const bool control = event.startsWith('^');
            event.remove('^');
            const QString text = event.mid(1);
            const Qt::Key key = text.isEmpty() ? Qt::Key_Left : Qt::Key(Qt::Key_A + (text.at(0).unicode() - 'a'));
            QKeyEvent keyEvent(event.at(0).toUpper() == 'P' ? QEvent::KeyPress : QEvent::KeyRelease, key,
                               control ? Qt::ControlModifier : Qt::NoModifier, text, event.at(0).isLower());
            QApplication::sendEvent(target, &keyEvent);
        }
        QCOMPARE(filter.calls, calls);
        QTEST(edit->text(), "typed");
    }

    // The keys go to the text, not to the notes, whatever the widget lets them change; a read-only
    // text (a monitor) and a button take no text.
    void focusInTextFieldsMeansTyping()
    {
        auto* readOnlyEdit = new QLineEdit(window);
        readOnlyEdit->setReadOnly(true);
        auto* monitor = new QPlainTextEdit(window);
        monitor->setReadOnly(true);
        const QList<QPair<QWidget*, bool>> cases{
            {edit, true}, {readOnlyEdit, true}, {new QSpinBox(window), true}, {new QPlainTextEdit(window), true},
            {monitor, false}, {button, false}};
        for (const auto& [focus, typing] : cases) {
            focus->show();
            focus->setFocus();
            QTRY_VERIFY(focus->hasFocus());
            QVERIFY2(NativeEventFilter::isTyping() == typing, focus->metaObject()->className());
        }
    }

    void clickIsOfferedFirstAndMayBeConsumed()
    {
        QSignalSpy clicked(button, &QPushButton::clicked);
        QPoint const inWindow = button->mapTo(window, button->rect().center());
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
        QCOMPARE(filter.calls, QStringList{"click"});
        QCOMPARE(clicked.count(), 1);

        filter.calls.clear();
        filter.consumeClicks = true;
        QTest::mouseClick(window->windowHandle(), Qt::RightButton, Qt::NoModifier, inWindow);
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, inWindow);
        QCOMPARE(filter.calls, (QStringList{"click", "click"}));
        QCOMPARE(clicked.count(), 1);
    }

    void filterDoesNothingWithoutAMainWindow()
    {
        QVERIFY(MainWindow::m_pInstance == nullptr);
        NativeEventFilter plain;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QVERIFY(!plain.eventFilter(window->windowHandle(), &press));
    }

    // A platform request opens the project, but not while a modal window is up.
    void fileOpenRequestsOpenTheProjectWhenNoModalWindowIsUp()
    {
        auto* application = static_cast<RecordingApplication*>(qApp);
        QFileOpenEvent event(QStringLiteral("/tmp/setup.tulvarmidi"));
        {
            QDialog dialog(window);
            dialog.setModal(true);
            dialog.show();
            QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
            QCoreApplication::sendEvent(qApp, &event);
            QVERIFY(application->openedFiles.isEmpty());
        }
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QCoreApplication::sendEvent(qApp, &event);
        QCOMPARE(application->openedFiles, QStringList{"/tmp/setup.tulvarmidi"});
    }
};

int main(int argc, char** argv)
{
    RecordingApplication application(argc, argv);
    tst_PlatformEvents test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_PlatformEvents.moc"
