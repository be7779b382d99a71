// Opening a 1 MiB .syx file in a message editor: reading, formatting as text, showing and
// colouring it, until the editor has painted. Two shapes of dump: one 1 MiB message, and 4096
// messages of 256 bytes (a sample dump), each with the editor's colouring on.
#include "model/TulvarMidiModel.h"
#include "persistence/SysExFile.h"
#include "views/MidiEditGeneralView.h"
#include "views/MidiEditView.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int DumpSize = 1024 * 1024;

QByteArray dumpOf(int messageSize)
{
    QByteArray bytes;
    bytes.reserve(DumpSize);
    while (bytes.size() < DumpSize) {
        bytes += char(0xF0);
        for (int i = 0; i < messageSize - 2; ++i) {
            bytes += char(i % 0x80);
        }
        bytes += char(0xF7);
    }
    return bytes;
}

void BM_OpenOneMiBSysExFile(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("dump.syx"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(dumpOf(int(state.range(0))));
    file.close();

    TulvarMidiModel model;
    for (auto _ : state) {
        MidiEditView view(nullptr, &model, MidiEditView::SystemExclusiveEdit, QString());
        view.resize(338, 274);
        view.show();
        QCoreApplication::processEvents();
        view.generalView()->loadTextFile(path);
        view.repaint();
        QCoreApplication::processEvents();
    }
    state.SetBytesProcessed(state.iterations() * DumpSize);
}
BENCHMARK(BM_OpenOneMiBSysExFile)->Arg(DumpSize)->Arg(16384)->Arg(256)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
