#pragma once

#include "batch/pagebatch.h"
#include "core/packedstrings.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace zd {

// The progress of a census run told in the list's entries rather than in the
// API's requests: an entry is done once every request that asks for its ZCTA has
// been answered (an entry that is no ZCTA needs none), and failed when one of
// them could not be had. The time left is reckoned in entries too: each request
// counts as many entries as it holds, so that pagesFetched and pagesLeft are the
// entries' answers fetched so far and still to come.
class CensusProgress {
public:
    explicit CensusProgress(const PackedStrings& entries);

    // The requests about to be fetched: the ZCTAs that each asks for.
    void planRequests(const QList<QStringList>& zctasAsked);
    // A request's answer arrived (from the API or the cache).
    void requestAnswered(qsizetype request, const PageResult& page);

    // The batch's progress (its requests and time kept) in entries.
    BatchProgress inEntries(const BatchProgress& batch) const;

private:
    qsizetype entriesAsked(const QStringList& zctas) const;

    qsizetype m_entryCount = 0;
    QHash<QString, qsizetype> m_entriesOfZcta;
    QList<QStringList> m_zctasAsked;
    QHash<QString, qsizetype> m_requestsLeft;  // by ZCTA
    QSet<QString> m_failedZctas;
    qsizetype m_done = 0;
    qsizetype m_failed = 0;
    qsizetype m_answersFetched = 0;
    qsizetype m_answersLeft = 0;
};

}  // namespace zd
