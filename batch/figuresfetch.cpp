#include "batch/figuresfetch.h"

#include "batch/entrysource.h"

namespace zd {

FetchedFigures fetchFigures(EntrySource& source, const PackedStrings& entries, RunObserver& observer,
                            const std::function<void(EntryResult&&)>& keep)
{
    FetchedFigures fetched;
    fetched.early = source.fetchEach(entries, EntryNeed::Figures, observer, [&](EntryOutcome&& entry) {
        fetched.summary.add(entry.result);
        tellProblems(entry, observer);
        fetched.whole = fetched.whole && entry.problems.isEmpty();
        keep(std::move(entry.result));
    });
    return fetched;
}

}  // namespace zd
