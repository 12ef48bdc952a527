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
    if (fetched && !isSuccessStatus(fetched->httpStatus))
        return EntryStatus::HttpError;
    if (!whole)
        return EntryStatus::Incomplete;
    return named ? EntryStatus::Found : EntryStatus::NotFound;
}

bool isSuccessStatus(long httpStatus) { return httpStatus == 0 || (httpStatus >= 200 && httpStatus <= 299); }

QString entryStatusText(EntryStatus status, long httpStatus)
{
    switch (status) {
    case EntryStatus::Found: return QStringLiteral("found");
    case EntryStatus::NotFound: return QStringLiteral("not found");
    case EntryStatus::NotFiveCharacters: return QStringLiteral("not 5 characters");
    case EntryStatus::Blank: return QStringLiteral("blank");
    case EntryStatus::Incomplete: return QStringLiteral("incomplete");
    case EntryStatus::Failed: return QStringLiteral("failed");
    case EntryStatus::HttpError: return QStringLiteral("http %1").arg(httpStatus);
    }
    return {};
}

}  // namespace zd
