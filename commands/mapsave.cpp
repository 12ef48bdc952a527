#include "commands/mapsave.h"

#include "commands/censusfigures.h"
#include "commands/censussession.h"
#include "core/apperror.h"
#include "core/errortrap.h"
#include "core/windowstate.h"
#include "map/atlas.h"
#include "map/figuredots.h"
#include "map/figuremap.h"

namespace zd {
namespace {

constexpr int kWindowMapClasses = 5;

bool isFigureRow(const ListModel& list, int position) { return !list.subItem(position, 1).isEmpty(); }

QString firstFigureOf(const QList<EntryResult>& results)
{
    for (const EntryResult& result : results) {
        if (!result.figures.isEmpty())
            return result.figures.constFirst().label;
    }
    return {};
}

RunInfo runOf(const CensusSession* census)
{
    if (census)
        return census->runInfo();
    return runInfoNow();
}

}  // namespace

std::optional<MapFormat> mapFormatOfSaveFilter(int filterIndex)
{
    if (filterIndex == 5)
        return MapFormat::Svg;
    if (filterIndex == 6)
        return MapFormat::Png;
    return std::nullopt;
}

QString withMapExtension(const QString& path, MapFormat format)
{
    return withExtension(path, format == MapFormat::Svg ? QStringLiteral("svg") : QStringLiteral("png"));
}

QString selectedFigure(const ListModel& demographics)
{
    const int selected = demographics.selectedPosition();
    if (selected > 0 && isFigureRow(demographics, selected))
        return demographics.rowText(selected).trimmed();
    for (int position = 1; position <= demographics.rowCount(); ++position) {
        if (isFigureRow(demographics, position))
            return demographics.rowText(position).trimmed();
    }
    return {};
}

TableSaveOutcome saveAllLocationsAsMap(WindowState& state, ErrorTrap& trap, const QString& path, MapFormat format,
                                       CensusSession* census)
{
    TableSaveOutcome outcome;
    QString figure = selectedFigure(state.demographicsList());
    QList<EntryResult> results;
    const bool fetched = fetchEverySavedLocation(state, trap, census, outcome.failed,
                                                 [&](EntryResult&& result) { results.append(std::move(result)); });
    outcome.targetKept = fetched && outcome.failed.keepsTargetAt(path);
    if (outcome.targetKept || !fetched)
        return outcome;
    if (figure.isEmpty())
        figure = firstFigureOf(results);
    trap.run(138, [&] {
        FigureDots dots(figure, PlaceNames::installed());
        for (const EntryResult& result : results)
            dots.take(result);
        const Atlas& atlas = Atlas::installed();
        const MapPicture picture = figureMap(dots, figure, kWindowMapClasses, runOf(census), atlas);
        if (const std::optional<QString> failure = writeMap(picture, path, format, kDefaultMapWidth, atlas))
            throw AppError(*failure);
        outcome.written = true;
    });
    return outcome;
}

}  // namespace zd
