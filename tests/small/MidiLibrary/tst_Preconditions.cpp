// A broken precondition ends the program with the standard assertion report naming the function,
// the source file and the failed expression. Each case runs in a child process.
#include "small/MidiLibrary/midilib_timingClockGenerator.h"
#include "small/StaticMemoryLibrary/smlib_data.h"

#include <QtTest>

#include <functional>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using Violation = std::function<void()>;
Q_DECLARE_METATYPE(Violation)

namespace {

// Runs violation in a child; returns what it wrote to standard error, or an empty text when it
// did not die of SIGABRT.
QByteArray assertionReport(const Violation &violation)
{
    QTemporaryFile report;
    if (!report.open()) {
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        dup2(report.handle(), STDERR_FILENO);
        violation();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGABRT || !report.seek(0)) {
        return {};
    }
    return report.readAll();
}

} // namespace

class TestPreconditions : public QObject
{
    Q_OBJECT

private slots:
    void brokenPreconditionNamesFunctionFileAndExpression_data()
    {
        QTest::addColumn<Violation>("violation");
        QTest::addColumn<QByteArray>("function");
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QByteArray>("expression");

        QTest::newRow("stream over null memory with a size")
            << Violation([] { smlib_data stream; smlib_data_init(&stream, nullptr, 4); })
            << QByteArray("smlib_data_init") << QByteArray("smlib_data.c") << QByteArray("size == 0");
        QTest::newRow("tempo above 300 BPM")
            << Violation([] {
                   MIDILIB_TimingClockGenerator generator;
                   midilib_timingClockGenerator_init(&generator);
                   midilib_timingClockGenerator_setTempo(&generator, 3001);
               })
            << QByteArray("midilib_timingClockGenerator_setTempo") << QByteArray("midilib_timingClockGenerator.c")
            << QByteArray("tempo <= MIDILIB_Tempo_Max");
    }

    void brokenPreconditionNamesFunctionFileAndExpression()
    {
        QFETCH(Violation, violation);
        QFETCH(QByteArray, function);
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, expression);

        const QByteArray report = assertionReport(violation);
        QVERIFY2(!report.isEmpty(), "the violation did not abort");
        QVERIFY2(report.contains(function), report.constData());
        QVERIFY2(report.contains(file), report.constData());
        QVERIFY2(report.contains("`" + expression + "'"), report.constData());
    }
};

QTEST_APPLESS_MAIN(TestPreconditions)
#include "tst_Preconditions.moc"
