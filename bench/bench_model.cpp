// Cost of a parameter change as the views see it: a write announced to the controls bound to the
// parameter and to every assistant, and the lookups the views make on each notification.

#include "model/ModelAssistant.h"
#include "model/ModelConnection.h"
#include "model/TulvarMidiModel.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

namespace {

class CountingControl : public ModelConnection {
public:
    void updateParameter(unsigned int) override { benchmark::DoNotOptimize(++count); }
    long count = 0;
};

class CountingAssistant : public ModelAssistant {
public:
    void updateParameter(unsigned int) override { benchmark::DoNotOptimize(++count); }
    long count = 0;
};

// Arguments: bound controls of the written parameter, assistants.
void BM_ParameterChangeFanOut(benchmark::State& state)
{
    TulvarMidiModel model;
    std::vector<std::unique_ptr<CountingControl>> controls;
    for (int i = 0; i < state.range(0); ++i) {
        controls.push_back(std::make_unique<CountingControl>());
        controls.back()->setParameterId(BulkIntervalParameterId);
        controls.back()->connectModel(&model);
    }
    std::vector<CountingAssistant> assistants(static_cast<size_t>(state.range(1)));
    for (CountingAssistant& assistant : assistants) {
        model.registerModelAssistant(&assistant);
    }
    int value = 0;
    for (auto _ : state) {
        value = (value + 1) % 1000;
        model.setModelIntValue(BulkIntervalParameterId, value);
    }
    for (CountingAssistant& assistant : assistants) {
        model.unregisterModelAssistant(&assistant);
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParameterChangeFanOut)->Args({0, 0})->Args({1, 4})->Args({4, 8})->Args({16, 16});

void BM_ParameterLookup(benchmark::State& state)
{
    TulvarMidiModel model;
    unsigned int id = ControlChangeFilterParameterId;
    for (auto _ : state) {
        benchmark::DoNotOptimize(model.getModelIntValue(id));
        benchmark::DoNotOptimize(model.getModelMaximumValue(id));
        id = id == ControlChangeFilterParameterId + 127 ? ControlChangeFilterParameterId : id + 1;
    }
}
BENCHMARK(BM_ParameterLookup);

void BM_CreateApplicationModel(benchmark::State& state)
{
    for (auto _ : state) {
        TulvarMidiModel model;
        benchmark::DoNotOptimize(&model);
    }
}
BENCHMARK(BM_CreateApplicationModel);

} // namespace

BENCHMARK_MAIN();
