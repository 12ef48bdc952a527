#pragma once

#include "batch/earlyend.h"
#include "core/packedstrings.h"
#include "export/resultstable.h"
#include "export/workbookwriter.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zd {

class RunObserver;

// One entry as a source hands it out: its results (status, location, figures)
// and why it is incomplete, one reason per item; none when it is whole.
struct EntryOutcome {
    EntryResult result;
    QStringList problems;
};

// Whether an entry failed: what it asked for could not be had (a transfer that
// failed, an answer that could not be used). The one rule by which every run and
// every save of either program judges its entries.
inline bool entryFailed(const EntryResult& result) { return result.status == EntryStatus::Failed; }

// Says each of an entry's problems on its own line: "entry \"03053\": REASON".
void tellProblems(const EntryOutcome& entry, RunObserver& observer);

// What GetLocationName gives for an entry, as lookup prints it: its location, or
// the status text ("Blank line.", "Zip is not 5 digits", "Zip code not found.").
// A page that failed or answered with an error status still gives the name it holds.
QString locationLine(const EntryResult& result);

// What a run asks of each entry: lookup only whether it is a place and its name,
// export and show its figures too.
enum class EntryNeed { Location, Figures };

// Where entries' results come from: the demographics site's pages or the Census
// Data API. The runs of lookup, export and show work over either the same way.
class EntrySource {
public:
    using EntryTaker = std::function<void(EntryOutcome&& entry)>;

    virtual ~EntrySource() = default;

    // Fetches what every entry needs and hands each one to `take` in input order,
    // telling the progress (in entries), warnings and notes to the observer.
    // Nothing when every entry was handed out; otherwise why the run ended early.
    virtual std::optional<EarlyEnd> fetchEach(const PackedStrings& entries, EntryNeed need, RunObserver& observer,
                                              const EntryTaker& take) = 0;

    // One entry's figures on their own, without a batch around them (show).
    virtual std::optional<EarlyEnd> fetchOne(const QString& entry, RunObserver& observer, EntryOutcome& outcome) = 0;

    // What the files of a run record of where their figures come from, once fetched.
    virtual RunInfo runInfo() const = 0;

    // Whether the figures carry margins of error.
    virtual bool marginsOfError() const = 0;

    // Why an entry with no location and no figures has nothing to show.
    virtual QString nothingToShow(const EntryResult& result) const = 0;

    // The total of the entries the last fetchEach handed out, as one more entry,
    // when the source was asked for one; nothing otherwise.
    virtual std::optional<EntryResult> totalOfEntries() const { return std::nullopt; }
};

}  // namespace zd
