#include "batch/exportoutput.h"

#include "batch/alignedresults.h"
#include "batch/batchrun.h"
#include "batch/batchsettings.h"
#include "batch/exitstatus.h"
#include "batch/figurereliability.h"
#include "batch/runexit.h"
#include "batch/runobserver.h"
#include "batch/runsummary.h"
#include "export/alignedwriter.h"
#include "export/figuresource.h"
#include "export/outputcheck.h"
#include "export/resultfile.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

namespace zd {
namespace {

QString cannotWrite(const QString& outputPath) { return "cannot write \"" + outputPath + "\": "; }

// The names of the columns beside a figure's, made once per label and shared by
// every entry (the results table tells a shared name from another at a glance).
struct BesideNames {
    QString label;
    QString margin;
    QString cv;
    QString reliability;
};

const BesideNames& besideNames(const QString& label, qsizetype position)
{
    thread_local QList<BesideNames> made;
    if (made.size() <= position)
        made.resize(position + 1);
    BesideNames& names = made[position];
    if (names.label.constData() != label.constData() || names.label != label) {
        names = {label, label + QStringLiteral(" (margin of error)"), label + QStringLiteral(" (coefficient of variation)"),
                 label + QStringLiteral(" (reliability)")};
    }
    return names;
}

}  // namespace

ExportResults::ExportResults(ExportFormat format, bool marginColumn)
    : m_format(format), m_marginsOfError(marginColumn), m_rows(withAlignedColumns(m_list, marginColumn, true))
{
}

bool ExportResults::open(const QString& outputPath, RunObserver& observer)
{
    QString error;
    const bool opened = aligned() ? m_rows.open(outputPath, error) : m_table.keepOnDisk(outputPath, error);
    if (!opened)
        observer.message(cannotWrite(outputPath) + "no room for a scratch file (" + error + ")");
    return opened;
}

void ExportResults::keep(EntryResult&& result)
{
    if (m_marginsOfError)
        addReliability(result);
    if (aligned()) {
        m_list.clearRows();
        appendAlignedRows(m_list, result);
        m_rows.addRows(m_list);
    } else if (m_format == ExportFormat::Jsonl) {
        m_table.append(std::move(result));
    } else {
        m_table.append(withMarginColumns(std::move(result), m_format == ExportFormat::Xlsx ? FigureWords::Kept
                                                                                           : FigureWords::Dropped));
    }
}

EntryResult withMarginColumns(EntryResult result, FigureWords words)
{
    const bool margins = std::any_of(result.figures.cbegin(), result.figures.cend(),
                                     [](const Figure& figure) { return figure.margin.has_value(); });
    if (!margins)
        return result;
    QList<Figure> figures;
    figures.reserve(4 * result.figures.size());
    for (qsizetype i = 0; i < result.figures.size(); ++i) {
        Figure& figure = result.figures[i];
        const std::optional<QString> margin = std::exchange(figure.margin, std::nullopt);
        figures.append(std::move(figure));
        if (margin) {
            const BesideNames& names = besideNames(figures.last().label, i);
            Figure marginFigure{names.margin, *margin};
            marginFigure.variable = figures.last().marginVariable;
            marginFigure.unit = figures.last().unit;
            // The CV moves to its column; the word is copied there, and kept or dropped.
            Figure cvFigure{names.cv, std::exchange(figures.last().cv, QString())};
            cvFigure.unit = QStringLiteral("percent");
            Figure wordFigure{names.reliability, words == FigureWords::Kept ? figures.last().reliability
                                                                            : std::exchange(figures.last().reliability, QString())};
            figures.append(std::move(marginFigure));
            figures.append(std::move(cvFigure));
            figures.append(std::move(wordFigure));
        }
    }
    result.figures = std::move(figures);
    return result;
}

std::optional<int> ExportResults::writeOutput(const QString& outputPath, bool csvLong, const RunInfo& run,
                                              const BatchRun& batch, qsizetype entryCount, RunObserver& observer)
{
    TableWriteOutcome written;
    if (aligned()) {
        m_rows.setClosingLine(figureSourceLine(run.figureSource));
        const AlignedWriteOutcome rows = m_rows.write(outputPath);
        written = {rows.written, rows.description};
    } else {
        written = writeResultsTable(m_table, outputPath, m_format, TableWriteOptions{csvLong, run});
    }
    if (written.written)
        return std::nullopt;
    if (const std::optional<EarlyEnd> stopped = batch.stopAfterwards(entryCount))
        return reportEarlyEnd(*stopped, observer);
    observer.message(cannotWrite(outputPath) + written.description + "; nothing was written");
    return kExitOutputFailed;
}

std::optional<int> refuseObstructedOutput(const QString& outputPath, RunObserver& observer)
{
    if (outputPath == ResultFile::kStandardOutput)
        return std::nullopt;
    const OutputObstacle obstacle = findOutputObstacle(outputPath, FolderProbe::Ask);
    if (obstacle == OutputObstacle::None)
        return std::nullopt;
    observer.message(cannotWrite(outputPath) + describeOutputObstacle(obstacle, outputPath));
    return kExitOutputFailed;
}

bool failuresKeepExistingFile(qsizetype failedEntries, const QString& path)
{
    return failedEntries > 0 && QFileInfo::exists(path);
}

bool keepsExistingFile(const RunSummary& summary, const QString& outputPath, const BatchSettings& settings,
                       RunObserver& observer)
{
    if (settings.partial || outputPath == ResultFile::kStandardOutput
        || !failuresKeepExistingFile(summary.failedCount(), outputPath))
        return false;
    const qsizetype failed = summary.failedCount();
    observer.message(QStringLiteral("%1 %2 failed, so \"%3\" is left as it was; --partial writes it "
                                    "anyway, and with --cache a rerun fetches only what is missing")
                         .arg(failed)
                         .arg(failed == 1 ? "entry" : "entries")
                         .arg(outputPath));
    return true;
}

}  // namespace zd
