#include "batch/sitesource.h"

#include "batch/batchrun.h"
#include "core/apperror.h"
#include "export/entryresult.h"
#include "export/exportformat.h"
#include "retrieval/demographicsparser.h"
#include "retrieval/locationlookup.h"
#include "retrieval/requesturl.h"

namespace zd {
namespace {

std::optional<QString> lookupAddressOf(const QString& entry)
{
    const QString zip = trimZipSpaces(entry);
    if (zip.size() != 5)
        return std::nullopt;
    return requestUrl(zip);
}

// What lookup takes of an entry: its status and its page's location name, with
// the failed transfer as its problem. An entry not fetched has no page.
EntryOutcome locationOutcome(const QString& entry, const PageResult* page)
{
    EntryOutcome outcome;
    EntryResult& result = outcome.result;
    result.entry = entry;
    result.location = page ? extractLocationName(page->outcome.body) : std::nullopt;
    result.httpStatus = page ? page->outcome.httpStatus : 0;
    result.status = entryStatus(trimZipSpaces(entry), page ? &page->outcome : nullptr, result.location.has_value());
    if (entryFailed(result))
        outcome.problems.append("the transfer failed (" + page->outcome.transportError
                                + "); its line is from what arrived");
    return outcome;
}

QString breakReason(PagePart part)
{
    const QString where = part == PagePart::Figures ? QStringLiteral("the figures")
                                                    : QStringLiteral("the household income rows");
    return "the page breaks off in " + where + " (" + errors::subscriptOutOfRange()
           + "); the rows before the break are kept";
}

// An entry's results and problems from its page, as export and show take them.
EntryOutcome sitePageOutcome(const QString& entry, const FetchOutcome& fetched)
{
    EntryOutcome outcome{entryResult(entry, fetched), {}};
    if (entryFailed(outcome.result))
        outcome.problems.append("the transfer failed (" + fetched.transportError
                                + "); the rows of what arrived are kept");
    if (outcome.result.brokenIn)
        outcome.problems.append(breakReason(*outcome.result.brokenIn));
    return outcome;
}

}  // namespace

SiteSource::SiteSource(BatchSettings settings, std::chrono::milliseconds pauseAfterFetch)
    : m_settings(std::move(settings)), m_pauseAfterFetch(pauseAfterFetch)
{
}

std::optional<EarlyEnd> SiteSource::fetchEach(const PackedStrings& entries, EntryNeed need, RunObserver& observer,
                                              const EntryTaker& take)
{
    const bool location = need == EntryNeed::Location;
    const EntryAddresses addresses{entries.size(), [&](qsizetype index) -> std::optional<QString> {
                                       const QString entry = entries.at(index);
                                       return location ? lookupAddressOf(entry) : requestUrl(entry);
                                   }};
    BatchRun batch(m_settings, observer);
    batch.setPauseAfterFetch(m_pauseAfterFetch);
    return batch.run(addresses, [&](qsizetype index, const PageResult* page) {
        const QString entry = entries.at(index);
        take(location ? locationOutcome(entry, page) : sitePageOutcome(entry, page->outcome));
    });
}

std::optional<EarlyEnd> SiteSource::fetchOne(const QString& entry, RunObserver&, EntryOutcome& outcome)
{
    outcome = sitePageOutcome(entry, fetchPageWithOutcome(requestUrl(entry)));
    return std::nullopt;
}

RunInfo SiteSource::runInfo() const { return runInfoNow(); }

QString SiteSource::nothingToShow(const EntryResult&) const
{
    return QStringLiteral("its page holds no location and no figures; nothing to show");
}

}  // namespace zd
