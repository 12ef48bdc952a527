// Reading the outlines maps are drawn over: data/us-outlines.bin decoded and every
// point projected onto the national layout, as a program does once before its
// first map, and the memory the outlines then hold.
#include "map/atlas.h"

#include <QFile>

#include <benchmark/benchmark.h>

namespace {

const QString kOutlines = QStringLiteral(ZD_OUTLINES_FILE);

// The peak resident memory of the process so far, in MB (VmHWM).
double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

void BM_ReadOutlines(benchmark::State& state)
{
    qsizetype outlines = 0;
    for (auto _ : state) {
        const zd::Atlas atlas = zd::Atlas::read(kOutlines);
        if (!atlas.error().isEmpty()) {
            state.SkipWithError(atlas.error().toStdString().c_str());
            return;
        }
        outlines = qsizetype(atlas.states().size() + atlas.counties().size());
        benchmark::DoNotOptimize(outlines);
    }
    state.counters["outlines"] = double(outlines);
    state.counters["peak_MB"] = peakMegabytes();
}
BENCHMARK(BM_ReadOutlines)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
