#include "app/NativeEventFilter.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>
#include <QtTest>

namespace {

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

class tst_NativeEventFilter : public QObject {
    Q_OBJECT

private:
    RecordingFilter filter;
    QWidget* window = nullptr;
    QLineEdit* edit = nullptr;
    QPushButton* button = nullptr;

    // Delivered the way the window system delivers it: to the window, which passes it on.
    void sendKey(QEvent::Type type, Qt::Key key, QString const& text,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false)
    {
        QKeyEvent event(type, key, modifiers, text, autoRepeat);
        QApplication::sendEvent(window->windowHandle(), &event);
    }

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
    // key's text. A held key is one note: its repeats and keys that type nothing play nothing.
    void keysAreSeenOnceBeforeTheWidget_data()
    {
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<bool>("consume");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("typed");
        QTest::newRow("key") << QStringList{"Pa", "Ra"} << false << QStringList{"down:a", "up:a"} << "a";
        QTest::newRow("consumed") << QStringList{"Pz", "Rz"} << true << QStringList{"down:z", "up:z"} << "";
        QTest::newRow("auto-repeated") << QStringList{"Pa", "ra", "pa", "ra", "pa", "Ra"} << false
                                       << QStringList{"down:a", "up:a"} << "aaa";
        QTest::newRow("control") << QStringList{"^Ps", "^Rs"} << false << QStringList{} << "";
        QTest::newRow("no text") << QStringList{"P", "R"} << false << QStringList{} << "";
    }

    void keysAreSeenOnceBeforeTheWidget()
    {
        QFETCH(QStringList, events);
        QFETCH(bool, consume);
        QFETCH(QStringList, calls);
        filter.consumeKeys = consume;
        for (QString event : events) {
            const bool control = event.startsWith('^');
            event.remove('^');
            const QString text = event.mid(1);
            const Qt::Key key = text.isEmpty() ? Qt::Key_Left : Qt::Key(Qt::Key_A + (text.at(0).unicode() - 'a'));
            sendKey(event.at(0).toUpper() == 'P' ? QEvent::KeyPress : QEvent::KeyRelease, key, text,
                    control ? Qt::ControlModifier : Qt::NoModifier, event.at(0).isLower());
        }
        QCOMPARE(filter.calls, calls);
        QTEST(edit->text(), "typed");
    }

    void modalWindowStopsNotesButNotReleases()
    {
        QDialog dialog(window);
        dialog.setModal(true);
        dialog.show();
        QTRY_VERIFY(QApplication::activeModalWidget() == &dialog);
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        filter.calls.clear();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
        QApplication::sendEvent(dialog.windowHandle(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_D, Qt::NoModifier, QStringLiteral("d"));
        QApplication::sendEvent(dialog.windowHandle(), &release);
        QCOMPARE(filter.calls, QStringList{"up:d"});
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
};

QTEST_MAIN(tst_NativeEventFilter)
#include "tst_NativeEventFilter.moc"
