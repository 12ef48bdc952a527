// Reading zip list files: into a one-column list through LoadZipListFile, through
// the reader alone, and, as the baseline, reading the same bytes from disk.
#include "core/listmodel.h"
#include "tests/support/scripteddialogs.h"
#include "commands/ziplistfile.h"
#include "ziplist/ziplistreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QTemporaryDir& benchFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// A zip list file of the given number of lines, made once: five digits and CR LF,
// with a blank line and a line of spaces now and then, as hand-made lists have.
QString zipListFile(qint64 lines)
{
    static QMap<qint64, QString> files;
    if (files.contains(lines))
        return files[lines];
    QByteArray bytes;
    bytes.reserve(lines * 7);
    for (qint64 i = 0; i < lines; ++i) {
        if (i % 1000 == 999)
            bytes += i % 2000 == 1999 ? "\r\n" : "  \r\n";
        else
            bytes += QByteArray::number(10000 + i % 90000) + "\r\n";
    }
    const QString path = benchFolder().filePath(QStringLiteral("zips-%1.txt").arg(lines));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write the benchmark's zip list file");
    files.insert(lines, path);
    return path;
}

void setCounters(benchmark::State& state, const QString& path)
{
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
    state.SetComplexityN(state.range(0));
}

void LoadZipListFileIntoOneColumnList(benchmark::State& state)
{
    const QString path = zipListFile(state.range(0));
    zd::ScriptedDialogs dialogs;
    for (auto _ : state) {
        auto list = std::make_unique<zd::ListModel>();
        list->addColumn(QStringLiteral("US Zip Codes"));
        zd::LoadZipListFile(*list, path, dialogs);
        benchmark::DoNotOptimize(list->rowCount());
        state.PauseTiming();  // freeing a million rows is no part of reading them
        list.reset();
        state.ResumeTiming();
    }
    setCounters(state, path);
}

void ReadZipListEntries(benchmark::State& state)
{
    const QString path = zipListFile(state.range(0));
    for (auto _ : state) {
        zd::ZipListFileReader reader(path);
        QString entry;
        qint64 count = 0;
        while (reader.nextEntry(entry))
            ++count;
        benchmark::DoNotOptimize(count);
    }
    setCounters(state, path);
}

void ReadSameBytesFromDisk(benchmark::State& state)
{
    const QString path = zipListFile(state.range(0));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("cannot open");
        benchmark::DoNotOptimize(file.readAll().size());
    }
    setCounters(state, path);
}

void sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(250000)->Arg(500000)->Arg(1000000)->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

BENCHMARK(LoadZipListFileIntoOneColumnList)->Apply(sizes);
BENCHMARK(ReadZipListEntries)->Apply(sizes);
BENCHMARK(ReadSameBytesFromDisk)->Apply(sizes);

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
