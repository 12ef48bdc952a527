#include "cli/maprun.h"

#include "batch/batchrun.h"
#include "batch/entrysource.h"
#include "batch/exitstatus.h"
#include "batch/exportoutput.h"
#include "batch/figuresfetch.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "map/atlas.h"
#include "map/figuredots.h"
#include "map/figuremap.h"
#include "map/mapfile.h"

#include <QGuiApplication>

#include <cstdio>
#include <memory>

namespace zd {
namespace {

// Qt's note that it made a runtime folder of its own says nothing to the user of
// a command that only draws into a file; every other message goes on as ever.
QtMessageHandler g_usualHandler = nullptr;

void quietRuntimeFolderNote(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR")))
        return;
    if (g_usualHandler)
        g_usualHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// The drawing needs the system's fonts, which a QGuiApplication brings; the
// command line has no window, so it draws on the offscreen platform.
std::unique_ptr<QGuiApplication> guiForDrawing()
{
    if (QCoreApplication::instance())
        return nullptr;
    g_usualHandler = qInstallMessageHandler(quietRuntimeFolderNote);
    static int argc = 3;
    static char name[] = "zipdemographics-cli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {name, platformOption, platform, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

QString quoted(const QString& text) { return QLatin1Char('"') + text + QLatin1Char('"'); }

void tellWhatIsMissing(const FigureDots& dots, const QString& label, RunObserver& observer)
{
    if (dots.valueCount() == 0)
        observer.message("no ZIP code of the list has a value of " + quoted(label)
                         + ": the map shows the outlines and the ZIP codes without values");
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
    const std::unique_ptr<QGuiApplication> gui = guiForDrawing();
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
