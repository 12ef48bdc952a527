#include "cli/maprun.h"

#include "batch/batchrun.h"
#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
#include "batch/figuresfetch.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "cli/commandapplication.h"
#include "map/atlas.h"
#include "map/figuredots.h"
#include "map/figuremap.h"
#include "map/mapfile.h"

namespace zd {
namespace {

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

void tellWhatIsMissing(FigureDots& dots, const QString& label, RunObserver& observer)
{
    if (dots.valueCount() == 0)
        observer.message("no ZIP code of the list has a value of " + quoted(label)
                         + " that can be drawn: the map shows "
                         + (dots.dots().empty() ? QStringLiteral("the outlines alone")
                                                : QStringLiteral("the outlines and the ZIP codes without values")));
    if (dots.unplacedCount() > 0)
        observer.message(QString::number(dots.unplacedCount())
                         + " ZIP codes are not drawn: the place table has no coordinates for them, or they lie "
                           "outside the 50 states, the District of Columbia and Puerto Rico");
}

// Draws the map and writes OUT. A stop that came while it was drawn or written
// leaves OUT as it was and gives the stop's exit status, as export's writing does.
int drawAndWrite(FigureDots& dots, const MapRequest& request, const RunInfo& run, const BatchRun& batch,
                 qsizetype entryCount, RunObserver& observer)
{
    if (!canDraw()) {
        observer.message("cannot draw " + quoted(request.outputPath)
                         + ": the command line was started without the fonts it draws with");
        return kExitOutputFailed;
    }
    const Atlas& atlas = Atlas::installed();
    if (!atlas.error().isEmpty())
        observer.message("the map is drawn without outlines: " + atlas.error());
    tellWhatIsMissing(dots, dots.figureFound() ? dots.label() : request.figure.trimmed(), observer);
    const MapPicture picture = figureMap(dots, request.figure, request.classes, run, atlas);
    const MapFormat format = mapFormatOfPath(request.outputPath).value_or(MapFormat::Svg);
    if (const std::optional<QString> failure = writeMap(picture, request.outputPath, format, request.width, atlas)) {
        if (const std::optional<EarlyEnd> stopped = batch.stopAfterwards(entryCount))
            return reportEarlyEnd(*stopped, observer);
        observer.message("cannot write " + quoted(request.outputPath) + ": " + *failure);
        return kExitOutputFailed;
    }
    return kExitSuccess;
}

}  // namespace

int runMap(EntrySource& source, const PackedStrings& entries, const MapRequest& request,
           const BatchSettings& settings, RunObserver& observer)
{
    if (const std::optional<int> refused = refuseObstructedOutput(request.outputPath, observer))
        return *refused;
    FigureDots dots(request.figure, PlaceNames::installed());
    const FetchedFigures fetched =
        fetchFigures(source, entries, observer, [&](EntryResult&& result) { dots.take(result); });
    if (fetched.early)
        return reportEarlyEnd(*fetched.early, observer);
    observer.message(fetched.summary.line());
    const BatchRun batch(settings, observer);
    if (const std::optional<EarlyEnd> stopped = batch.stopAfterwards(entries.size()))
        return reportEarlyEnd(*stopped, observer);
    if (!dots.figureFound() && !dots.figuresSeen().isEmpty()) {
        observer.message("unknown figure " + quoted(request.figure) + "; the figures are: "
                         + dots.figuresSeen().join(QStringLiteral("; ")));
        return kExitUsage;
    }
    if (keepsExistingFile(fetched.summary, request.outputPath, settings, observer))
        return kExitIncomplete;
    if (const int drawn = drawAndWrite(dots, request, source.runInfo(), batch, entries.size(), observer);
        drawn != kExitSuccess)
        return drawn;
    return fetched.whole ? kExitSuccess : kExitIncomplete;
}

}  // namespace zd
