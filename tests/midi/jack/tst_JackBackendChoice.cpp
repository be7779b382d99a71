#include "JackTestServer.h"
#include "midi/MidiServiceFactory.h"
#include "midi/alsa/AlsaMidiService.h"
#include "midi/jack/JackMidiService.h"

#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

// Choosing the JACK service: taken when a server runs, never starting one, and falling back to
// Loopback with one line on standard error when none does.

namespace {
// Runs create() with standard error captured.
std::unique_ptr<MidiService> createCapturingErrors(const QString& choice, QString* used, QByteArray* errors)
{
    QTemporaryFile capture;
    capture.open();
    std::fflush(stderr);
    const int saved = dup(STDERR_FILENO);
    dup2(capture.handle(), STDERR_FILENO);
    auto service = MidiServiceFactory::create(choice, used);
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    capture.seek(0);
    *errors = capture.readAll();
    return service;
}

// The program's own notes; anything else on standard error comes from a library.
int notes(const QByteArray& errors)
{
    int count = 0;
    for (const QByteArray& line : errors.split('\n')) {
        count += line.startsWith("Tulvar MIDI:") ? 1 : 0;
    }
    return count;
}

int jackdChildren()
{
    int count = 0;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly)) {
            continue;
        }
        // pid (comm) state ppid ...
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (line.contains("(jackd)") && fields.size() > 1 && fields[1].toInt() == int(getpid())) {
            ++count;
        }
    }
    return count;
}
}

class JackBackendChoiceTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void runningServerIsChosenForJackAndAuto();
    void missingServerFallsBackToLoopbackWithOneLine();

private:
    JackTestServer m_server;
};

void JackBackendChoiceTest::initTestCase()
{
    m_server.start();
}

void JackBackendChoiceTest::cleanupTestCase()
{
    m_server.stop();
}

void JackBackendChoiceTest::runningServerIsChosenForJackAndAuto()
{
    TULVAR_REQUIRE_JACK(m_server);
    QString used;
    QByteArray errors;
    auto service = createCapturingErrors(QStringLiteral("jack"), &used, &errors);
    QCOMPARE(used, QStringLiteral("jack"));
    QVERIFY(dynamic_cast<JackMidiService*>(service.get()));
    QVERIFY2(notes(errors) == 0, errors.constData());
    service.reset();

    const bool sequencerHere = AlsaMidiService().isOpen();
    service = createCapturingErrors(QStringLiteral("auto"), &used, &errors);
    QCOMPARE(used, sequencerHere ? QStringLiteral("alsa") : QStringLiteral("jack"));
    QVERIFY2(notes(errors) == 0, errors.constData());
}

void JackBackendChoiceTest::missingServerFallsBackToLoopbackWithOneLine()
{
    TULVAR_REQUIRE_JACK(m_server);
    m_server.stop();
    QString used;
    QByteArray errors;
    auto service = createCapturingErrors(QStringLiteral("jack"), &used, &errors);
    QCOMPARE(used, QStringLiteral("loopback"));
    QVERIFY(service);
    QVERIFY2(notes(errors) == 1, errors.constData());
    QVERIFY(errors.contains("jack"));
    QCOMPARE(jackdChildren(), 0);
    if (!AlsaMidiService().isOpen()) {
        service = createCapturingErrors(QStringLiteral("auto"), &used, &errors);
        QCOMPARE(used, QStringLiteral("loopback"));
        QVERIFY2(notes(errors) == 1, errors.constData());
        QCOMPARE(jackdChildren(), 0);
    }
}

QTEST_GUILESS_MAIN(JackBackendChoiceTest)
#include "tst_JackBackendChoice.moc"
