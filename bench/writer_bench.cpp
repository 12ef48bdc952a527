// Writing a two-column list as an aligned result file, against writing the same
// number of bytes to disk.
#include "core/eventpump.h"
#include "core/listmodel.h"
#include "tests/support/scripteddialogs.h"
#include "export/alignedwriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>
#include <string_view>

namespace {

QTemporaryDir& benchFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// A demographics-like list of the given number of rows, made once: a name row
// with an empty value now and then, figure rows of varied lengths otherwise.
const zd::ListModel& twoColumnList(qint64 rows)
{
    static QMap<qint64, std::shared_ptr<zd::ListModel>> lists;
    if (lists.contains(rows))
        return *lists[rows];
    auto list = std::make_shared<zd::ListModel>();
    list->addColumn(QStringLiteral("Demographics"));
    list->addColumn(QStringLiteral(" Value"));
    const QStringList labels{QStringLiteral("Population"), QStringLiteral("Median Age"),
                             QStringLiteral("Median Household Income"),
                             QStringLiteral("Households with income $50,000 to $74,999")};
    for (qint64 i = 0; i < rows; ++i) {
        if (i % 20 == 0) {
            list->addRow(QStringLiteral("Location %1, NH 0%2").arg(i).arg(3000 + i % 999));
            continue;
        }
        const zd::RowId row = list->addRow(labels[i % labels.size()]);
        list->setSubItem(row, 1, QString::number(i * 37 % 1000003));
    }
    lists.insert(rows, list);
    return *list;
}

QString target() { return benchFolder().filePath(QStringLiteral("result.txt")); }

void SaveTwoColumnListAligned(benchmark::State& state)
{
    const zd::ListModel& list = twoColumnList(state.range(0));
    zd::ScriptedDialogs dialogs;
    const long long pumpsBefore = zd::pumpCount();
    for (auto _ : state) {
        if (!zd::SaveListviewProperlySpacedWithoutProgressBar(list, target(), dialogs))
            state.SkipWithError("write failed");
    }
    state.counters["pumps"] = double(zd::pumpCount() - pumpsBefore) / double(state.iterations());
    state.SetBytesProcessed(state.iterations() * QFile(target()).size());
    state.SetComplexityN(state.range(0));
}

// The bytes that the aligned write of that list leaves on disk.
qint64 resultSize(qint64 rows)
{
    static QMap<qint64, qint64> sizes;
    if (!sizes.contains(rows)) {
        zd::ScriptedDialogs dialogs;
        const QString path = benchFolder().filePath(QStringLiteral("size.txt"));
        if (!zd::SaveListviewProperlySpacedWithoutProgressBar(twoColumnList(rows), path, dialogs))
            qFatal("cannot write the benchmark's result file");
        sizes.insert(rows, QFile(path).size());
    }
    return sizes[rows];
}

// Baseline: the same number of bytes in blocks of 1 MiB, through a temporary file
// renamed over the target as the writer does, or straight into the file.
template <typename File>
void writeSameBytes(benchmark::State& state)
{
    const qint64 size = resultSize(state.range(0));
    const QByteArray block(1024 * 1024, 'x');
    for (auto _ : state) {
        File file(target());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
            state.SkipWithError("cannot open");
        for (qint64 left = size; left > 0; left -= block.size())
            file.write(block.constData(), std::min<qint64>(left, block.size()));
        if constexpr (std::is_same_v<File, QSaveFile>)
            benchmark::DoNotOptimize(file.commit());
        else
            file.close();
    }
    state.SetBytesProcessed(state.iterations() * size);
    state.SetComplexityN(state.range(0));
}

void WriteSameBytesReplacingTheFile(benchmark::State& state) { writeSameBytes<QSaveFile>(state); }
void WriteSameBytesInPlace(benchmark::State& state) { writeSameBytes<QFile>(state); }

void sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(250000)->Arg(500000)->Arg(1000000)->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

BENCHMARK(SaveTwoColumnListAligned)->Apply(sizes);
BENCHMARK(WriteSameBytesReplacingTheFile)->Apply(sizes);
BENCHMARK(WriteSameBytesInPlace)->Apply(sizes);

}  // namespace

// --no-event-loop runs without an application object, so that processing events
// costs nothing and the writer's own work shows alone.
int main(int argc, char** argv)
{
    std::unique_ptr<QCoreApplication> application;
    if (argc > 1 && std::string_view(argv[argc - 1]) == "--no-event-loop")
        --argc;
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
