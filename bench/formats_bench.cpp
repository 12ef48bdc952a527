// Writing the results of 40,000 entries in each format: the aligned file from the
// demographics list, CSV (wide and long), JSON Lines and the workbook from the
// results table. The rows are cut once out of sample pages held in memory.
//
// Run one format per process to see its own peak memory, e.g.
//   build/bin/zd_formats_bench --benchmark_filter=Workbook
// peak_MB is the process's peak resident memory, rows_MB what it held before the
// first write (the pages' rows); their difference is the writer's own.
#include "core/listmodel.h"
#include "export/alignedwriter.h"
#include "export/entryresult.h"
#include "export/exportformat.h"
#include "export/figurenumber.h"
#include "export/resultstable.h"
#include "retrieval/demographicsrows.h"
#include "retrieval/pagefetch.h"
#include "site/samplepages.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kEntries = 40000;

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

QTemporaryDir& benchFolder()
{
    static QTemporaryDir folder;
    return folder;
}

QString entryOf(int i) { return QString::number(i).rightJustified(5, QLatin1Char('0')); }

// Entry i's page as the site would serve it: made-up figures, a name of its own.
// Each page is made when its rows are cut and then let go, so that what stays
// in memory is the rows alone.
zd::FetchOutcome pageOf(int i)
{
    const QString name = QStringLiteral("<nobr>Place %1, ST</nobr>").arg(i);
    zd::FetchOutcome outcome;
    outcome.body = zd::renderSamplePage(zd::generatedPageContent(entryOf(i), name));
    outcome.complete = true;
    outcome.httpStatus = 200;
    return outcome;
}

const zd::ListModel& demographicsList()
{
    static zd::ListModel rows;
    if (rows.columnCount() == 0) {
        zd::addDemographicsColumns(rows);
        for (int i = 1; i <= kEntries; ++i)
            (void)zd::appendEntryRows(rows, entryOf(i), pageOf(i).body);
    }
    return rows;
}

const zd::ResultsTable& resultsTable()
{
    static const zd::ResultsTable table = [] {
        zd::ResultsTable results;
        for (int i = 1; i <= kEntries; ++i)
            results.append(zd::entryResult(entryOf(i), pageOf(i)));
        return results;
    }();
    return table;
}

void report(benchmark::State& state, const QString& path, double rowsMegabytes)
{
    state.counters["file_MB"] = double(QFile(path).size()) / 1e6;
    state.counters["rows_MB"] = rowsMegabytes;
    state.counters["peak_MB"] = peakMegabytes();
}

void Aligned(benchmark::State& state)
{
    const zd::ListModel& list = demographicsList();
    const double rows = peakMegabytes();
    const QString path = benchFolder().filePath(QStringLiteral("results.txt"));
    for (auto _ : state) {
        if (!zd::writeListAligned(list, path).written)
            state.SkipWithError("write failed");
    }
    report(state, path, rows);
}

void writeTable(benchmark::State& state, zd::ExportFormat format, bool csvLong, const char* name)
{
    const zd::ResultsTable& table = resultsTable();
    const double rows = peakMegabytes();
    const QString path = benchFolder().filePath(QLatin1String(name));
    const zd::TableWriteOptions options{csvLong, zd::runInfoNow()};
    for (auto _ : state) {
        if (!zd::writeResultsTable(table, path, format, options).written)
            state.SkipWithError("write failed");
    }
    report(state, path, rows);
}

void CsvWide(benchmark::State& state) { writeTable(state, zd::ExportFormat::Csv, false, "wide.csv"); }
void CsvLong(benchmark::State& state) { writeTable(state, zd::ExportFormat::Csv, true, "long.csv"); }
void JsonLines(benchmark::State& state) { writeTable(state, zd::ExportFormat::Jsonl, false, "r.jsonl"); }
void Workbook(benchmark::State& state) { writeTable(state, zd::ExportFormat::Xlsx, false, "r.xlsx"); }

// What reading every figure as a number costs, the JSON and workbook writers' share.
void ReadEveryFigureAsANumber(benchmark::State& state)
{
    const zd::ResultsTable& table = resultsTable();
    for (auto _ : state) {
        table.forEachEntry([](const zd::EntryResult& entry, const QList<int>&) {
            for (const zd::Figure& figure : entry.figures)
                benchmark::DoNotOptimize(zd::readFigureNumber(figure.value));
            return true;
        });
    }
}

BENCHMARK(ReadEveryFigureAsANumber)->Unit(benchmark::kMillisecond);
BENCHMARK(Aligned)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvWide)->Unit(benchmark::kMillisecond);
BENCHMARK(CsvLong)->Unit(benchmark::kMillisecond);
BENCHMARK(JsonLines)->Unit(benchmark::kMillisecond);
BENCHMARK(Workbook)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
