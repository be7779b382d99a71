// What one 100 ms timer tick costs a MIDI In monitor under a flood: 2000 new lines (20,000
// messages per second), with colouring off and on, into a monitor already at its 1024-line limit.
#include "model/TulvarMidiModel.h"
#include "views/MidiEditView.h"

#include <QApplication>

#include <benchmark/benchmark.h>

namespace {

QString floodBatch(int first, int lines)
{
    QString text;
    text.reserve(lines * 48);
    for (int i = first; i < first + lines; ++i) {
        text += QString::asprintf("\n12:00:00:%03d Port1 NoteOn   90 %02X %02X [C3]", i % 1000, i % 128, (i * 7) % 128);
    }
    return text;
}

void BM_MonitorTickOf2000Lines(benchmark::State& state)
{
    TulvarMidiModel model;
    model.setModelIntValue(MessageColorParameterId, int(state.range(0)));
    MidiEditView view(nullptr, &model, MidiEditView::InMonitor, QString());
    view.resize(338, 274);
    view.show();
    view.receivedMessage(floodBatch(0, 1024), 1024);
    QCoreApplication::processEvents();
    int first = 1024;
    for (auto _ : state) {
        view.receivedMessage(floodBatch(first, 2000), 2000);
        // The repaint is part of the tick's cost.
        QCoreApplication::processEvents();
        first += 2000;
    }
    state.SetItemsProcessed(state.iterations() * 2000);
}
BENCHMARK(BM_MonitorTickOf2000Lines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
