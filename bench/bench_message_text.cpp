// Cleaning and conversion of a 1 MiB system exclusive text, as the message editor hands it to its
// transmitter: pairs separated by blanks, 16 bytes a line, a comment at the top.
#include "engine/MessageTextSyntax.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

QString makeSystemExclusiveText(int characters)
{
    QString text = QStringLiteral("// dump of one bank\n");
    text.reserve(characters + 64);
    text += QStringLiteral("F0 ");
    int column = 1;
    unsigned value = 0;
    while (text.size() < characters - 3) {
        text += QString::asprintf("%02X", value++ & 0x7F);
        text += (++column % 16 == 0) ? QChar('\n') : QChar(' ');
    }
    text += QStringLiteral("F7");
    return text;
}

void BM_CleanAndConvertOneMebibyteText(benchmark::State& state)
{
    const QString text = makeSystemExclusiveText(1 << 20);
    std::vector<unsigned char> bytes;
    for (auto _ : state) {
        const QString cleaned = MessageTextSyntax::cleanMessageText(text);
        bytes.resize(std::size_t(cleaned.size() / 2));
        const bool ok = MessageTextSyntax::convertHexStringToHexNumber(bytes.data(), cleaned.constData(), bytes.size());
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

} // namespace

BENCHMARK(BM_CleanAndConvertOneMebibyteText)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
