#pragma once

#include "batch/batchsettings.h"
#include "batch/entrysource.h"

#include <chrono>

namespace zd {

// The demographics site's pages as a source: one page per entry, fetched as a
// batch by the engine (cache, robots.txt, pace, retries), or on its own for show.
class SiteSource : public EntrySource {
public:
    // pauseAfterFetch: lookup's --delay.
    explicit SiteSource(BatchSettings settings, std::chrono::milliseconds pauseAfterFetch = {});

    // Lookup fetches only the entries five characters long once trimmed, with the
    // trimmed zip code in the address; export fetches every entry as given, as
    // the window's save does.
    std::optional<EarlyEnd> fetchEach(const PackedStrings& entries, EntryNeed need, RunObserver& observer,
                                      const EntryTaker& take) override;
    std::optional<EarlyEnd> fetchOne(const QString& entry, RunObserver& observer, EntryOutcome& outcome) override;
    RunInfo runInfo() const override;
    bool marginsOfError() const override { return false; }
    QString nothingToShow(const EntryResult& result) const override;

private:
    BatchSettings m_settings;
    std::chrono::milliseconds m_pauseAfterFetch;
};

}  // namespace zd
