#include "retrieval/entrystatus.h"

#include "retrieval/pagefetch.h"

namespace zd {

EntryStatus entryStatus(const QString& zip, const FetchOutcome* fetched, bool named, bool whole)
{
    if (fetched && !fetched->complete)
        return EntryStatus::Failed;
    if (zip.isEmpty())
        return EntryStatus::Blank;
    if (zip.size() != 5)
        return EntryStatus::NotFiveCharacters;
    if (!whole)
        return EntryStatus::Incomplete;
    return named ? EntryStatus::Found : EntryStatus::NotFound;
}

QString entryStatusText(EntryStatus status)
{
    switch (status) {
    case EntryStatus::Found: return QStringLiteral("found");
    case EntryStatus::NotFound: return QStringLiteral("not found");
    case EntryStatus::NotFiveCharacters: return QStringLiteral("not 5 characters");
    case EntryStatus::Blank: return QStringLiteral("blank");
    case EntryStatus::Incomplete: return QStringLiteral("incomplete");
    case EntryStatus::Failed: return QStringLiteral("failed");
    }
    return {};
}

}  // namespace zd
