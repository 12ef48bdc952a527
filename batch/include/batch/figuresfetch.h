#pragma once

#include "batch/earlyend.h"
#include "batch/runsummary.h"

#include "core/packedstrings.h"

#include <functional>
#include <optional>

namespace zd {

class EntrySource;
class RunObserver;
struct EntryResult;

// What fetching every entry's figures came to: the counts of the summary line,
// whether every entry came whole (no problem told), and the early end if there
// was one.
struct FetchedFigures {
    RunSummary summary;
    bool whole = true;
    std::optional<EarlyEnd> early;
};

// Fetches each entry's figures in input order, counts it, tells its problems and
// hands its result to `keep`; the runs that write a file from the results
// (export, map) share it.
FetchedFigures fetchFigures(EntrySource& source, const PackedStrings& entries, RunObserver& observer,
                            const std::function<void(EntryResult&&)>& keep);

}  // namespace zd
