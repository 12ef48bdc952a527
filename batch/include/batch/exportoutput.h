#pragma once

#include "core/listmodel.h"
#include "export/alignedspool.h"
#include "export/exportformat.h"
#include "export/resultstable.h"

#include <QString>

#include <optional>

namespace zd {

class BatchRun;
class RunObserver;
class RunSummary;
struct BatchSettings;

// Where an export's results wait until OUT is written: the aligned rows in a
// compact spool, or the results table's entries, both in a scratch file beside
// OUT, so that memory stays bounded however long the run. The same for every
// source.
class ExportResults {
public:
    // With marginColumn the aligned rows have a third column, for margins of error.
    ExportResults(ExportFormat format, bool marginColumn);

    // Makes the scratch file; false when it cannot, after saying why.
    bool open(const QString& outputPath, RunObserver& observer);

    ExportFormat format() const { return m_format; }
    bool aligned() const { return m_format == ExportFormat::Aligned; }
    // Keeps one entry's results: the aligned file's rows, or the table's entry.
    // The table layouts give each margin of error a column of its own, JSON
    // Lines keeps it in its figure.
    void keep(EntryResult&& result);

    // Writes OUT from the results kept; a run whose figures name their source
    // says it in every format (the aligned file in a closing line). A stop during the write leaves OUT as it
    // was and gives the stop's exit status; a failed write is said and gives
    // its own. Nothing when OUT was written.
    std::optional<int> writeOutput(const QString& outputPath, bool csvLong, const RunInfo& run,
                                   const BatchRun& batch, qsizetype entryCount, RunObserver& observer);

private:
    const ExportFormat m_format;
    const bool m_marginsOfError;  // each figure's CV and reliability word worked out beside its margin
    ListModel m_list;  // the rows of one entry at a time
    AlignedSpool m_rows;
    ResultsTable m_table;
};

// The table layouts give each margin of error a column of its own after its
// figure's, "LABEL (margin of error)", followed by its coefficient of variation
// and reliability word when worked out ("LABEL (coefficient of variation)",
// "LABEL (reliability)"). The figure's CV moves to its column; its word is kept
// on the figure too (the workbook shades by it) or dropped from it (a CSV file
// needs it once).
enum class FigureWords { Kept, Dropped };
EntryResult withMarginColumns(EntryResult result, FigureWords words = FigureWords::Kept);

// An OUT that cannot be written is said before anything is fetched: the exit
// status then. Nothing for standard output or a file that can be written.
std::optional<int> refuseObstructedOutput(const QString& outputPath, RunObserver& observer);

// The rule of both programs: results with failed entries do not take the place
// of a file that is there.
bool failuresKeepExistingFile(qsizetype failedEntries, const QString& path);

// An export with failed entries does not take the place of a file that is
// there (see failuresKeepExistingFile), unless --partial: true after saying so.
bool keepsExistingFile(const RunSummary& summary, const QString& outputPath, const BatchSettings& settings,
                       RunObserver& observer);

}  // namespace zd
