// The three page extractions over pages of growing size, against the baseline of
// simply reading the same text from memory.
#include "core/windows1252.h"
#include "retrieval/demographicsparser.h"

#include <QMap>

#include <benchmark/benchmark.h>

namespace {

// A page in the site's shape, grown to about the given size: a title and the
// location cell, then sections of figure tables, household income tables and
// running text, with nbsp, nobr and bold where the site puts them.
QByteArray pageBytes(qint64 targetBytes)
{
    static QMap<qint64, QByteArray> pages;
    if (pages.contains(targetBytes))
        return pages[targetBytes];
    QByteArray page = "<html><head><title>(55123) Demographics</title></head><body>\n"
                      "<table><tr><td class=\"place\">(<nobr>Ash&nbsp;Creek,&nbsp;MN</nobr>)</td></tr></table>\n";
    const QByteArray right = "<td class=\"text\" align=\"right\">";
    for (int section = 0; page.size() < targetBytes; ++section) {
        page += "<h2>Section " + QByteArray::number(section) + "</h2><p>Figures from the last survey, "
                "rounded to whole numbers where the source gives fractions.</p>\n<table>\n";
        for (int row = 0; row < 20; ++row)
            page += "<tr><td class=\"text\"><b>Measure&nbsp;" + QByteArray::number(row)
                + "</b></td><td class=\"figure\">" + QByteArray::number(section * 37 + row * 1013)
                + "</td></tr>\n";
        page += "</table>\n<table class=\"income\"><tr><th>Income</th><th>Households</th>";
        for (int row = 0; row < 10; ++row)
            page += "</tr><tr>" + right + "$" + QByteArray::number(row * 10) + ",000&nbsp;to&nbsp;$"
                + QByteArray::number(row * 10 + 9) + ",999</td>" + right + "<nobr>"
                + QByteArray::number(section + row * 211) + "</nobr></td>";
        page += "</tr></table>\n";
    }
    page += "</body></html>\n";
    pages.insert(targetBytes, page);
    return page;
}

QString pageText(qint64 targetBytes) { return zd::decodeWindows1252(pageBytes(targetBytes)); }

template <typename Extract>
void runOverPage(benchmark::State& state, Extract extract)
{
    const QString page = pageText(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(extract(page));
    state.SetBytesProcessed(state.iterations() * pageBytes(state.range(0)).size());
}

void BM_ReadTextBaseline(benchmark::State& state)
{
    runOverPage(state, [](const QString& page) { return page.indexOf(u"<absent marker>"); });
}

void BM_DecodeAndReadBaseline(benchmark::State& state)
{
    const QByteArray bytes = pageBytes(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(zd::decodeWindows1252(bytes).indexOf(u"<absent marker>"));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ExtractLocationName(benchmark::State& state)
{
    runOverPage(state, [](const QString& page) { return zd::extractLocationName(page); });
}

void BM_ExtractFigureRows(benchmark::State& state)
{
    runOverPage(state, [](const QString& page) { return zd::extractFigureRows(page).rows.size(); });
}

void BM_ExtractHouseholdIncomeRows(benchmark::State& state)
{
    runOverPage(state, [](const QString& page) {
        return zd::extractHouseholdIncomeRows(page).rows.size();
    });
}

constexpr qint64 kKiB = 1024;
#define PAGE_SIZES ->Arg(256 * kKiB)->Arg(1024 * kKiB)->Arg(4096 * kKiB)->Unit(benchmark::kMicrosecond)

BENCHMARK(BM_ReadTextBaseline) PAGE_SIZES;
BENCHMARK(BM_DecodeAndReadBaseline) PAGE_SIZES;
BENCHMARK(BM_ExtractLocationName) PAGE_SIZES;
BENCHMARK(BM_ExtractFigureRows) PAGE_SIZES;
BENCHMARK(BM_ExtractHouseholdIncomeRows) PAGE_SIZES;

}  // namespace

BENCHMARK_MAIN();
