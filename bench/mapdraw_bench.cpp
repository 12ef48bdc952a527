// Drawing a whole-country map apart from fetching its figures: a dot for every
// ZIP code of the place table (about 41,000; 33,000 ZCTAs among them) with a
// prepared value, gathered from entries' results as a run gathers them, then
// drawn as PNG (1600 px) and as SVG over the program's outlines.
#include "census/placenames.h"
#include "map/atlas.h"
#include "map/figuredots.h"
#include "map/figuremap.h"
#include "map/mapfile.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextStream>

#include <benchmark/benchmark.h>

namespace {

const QString kPlaces = QStringLiteral(ZD_PLACE_TABLE);
const QString kOutlines = QStringLiteral(ZD_OUTLINES_FILE);

// Every ZIP code of the table as a found entry with a made-up income.
QList<zd::EntryResult> everyZipCode()
{
    QList<zd::EntryResult> results;
    QFile table(kPlaces);
    if (!table.open(QIODevice::ReadOnly))
        return results;
    QTextStream lines(&table);
    while (!lines.atEnd()) {
        const QString zip = lines.readLine().section(QLatin1Char('\t'), 0, 0);
        zd::EntryResult result;
        result.entry = result.zip = zip;
        result.status = zd::EntryStatus::Found;
        const int income = 20000 + int(zip.toInt() * 7919L % 180000);
        result.figures.append({QStringLiteral("Median household income"),
                               QLatin1Char('$') + QLocale(QLocale::English).toString(income)});
        results.append(std::move(result));
    }
    return results;
}

zd::MapPicture countryPicture(const QList<zd::EntryResult>& results, const zd::PlaceNames& places,
                              const zd::Atlas& atlas)
{
    zd::FigureDots dots(QStringLiteral("Median household income"), places);
    for (const zd::EntryResult& result : results)
        dots.take(result);
    return zd::figureMap(dots, QStringLiteral("Median household income"), 5, zd::RunInfo{}, atlas);
}

void drawCountry(benchmark::State& state, zd::MapFormat format)
{
    const zd::PlaceNames places = zd::PlaceNames::read(kPlaces);
    const zd::Atlas atlas = zd::Atlas::read(kOutlines);
    const QList<zd::EntryResult> results = everyZipCode();
    std::size_t dots = 0;
    qsizetype bytes = 0;
    for (auto _ : state) {
        const zd::MapPicture picture = countryPicture(results, places, atlas);
        dots = picture.dots.size();
        bytes = zd::drawMap(picture, format, zd::kDefaultMapWidth, atlas).size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["dots"] = double(dots);
    state.counters["KB"] = double(bytes) / 1024;
}

void BM_DrawCountryPng(benchmark::State& state) { drawCountry(state, zd::MapFormat::Png); }
void BM_DrawCountrySvg(benchmark::State& state) { drawCountry(state, zd::MapFormat::Svg); }

BENCHMARK(BM_DrawCountryPng)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_DrawCountrySvg)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace

// The drawing's text needs the system's fonts: a QGuiApplication, offscreen.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
