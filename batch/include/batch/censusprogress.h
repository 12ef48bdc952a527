#pragma once

#include "batch/runobserver.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

struct PageResult;

// The progress of a census run told in the list's entries rather than in the
// API's requests: an entry is done once every request that asks for its ZCTA has
// been answered (an entry that is no ZCTA needs none), and failed when one of
// them could not be had. The time left is reckoned in entries too: each request
// counts as many entries as it holds, so that pagesFetched and pagesLeft of the
// progress are the entries' answers fetched so far and still to come. Messages
// and results pass through unchanged.
class CensusProgress : public RunObserver {
public:
    CensusProgress(const QStringList& entries, RunObserver& observer);

    // The requests about to be fetched: the ZCTAs that each asks for.
    void planRequests(const QList<QStringList>& zctasAsked);
    // A request's answer arrived (from the API or the cache).
    void requestAnswered(qsizetype request, const PageResult& page);

    void output(const QString& text) override { m_observer.output(text); }
    [[nodiscard]] bool outputFailed() override { return m_observer.outputFailed(); }
    void message(const QString& text) override { m_observer.message(text); }
    void progress(const BatchProgress& progress) override;

private:
    qsizetype entriesAsked(const QStringList& zctas) const;

    RunObserver& m_observer;
    qsizetype m_entryCount = 0;
    QHash<QString, qsizetype> m_entriesOfZcta;
    QList<QStringList> m_zctasAsked;
    QHash<QString, qsizetype> m_requestsLeft;  // by ZCTA
    QHash<QString, bool> m_zctaFailed;
    qsizetype m_done = 0;
    qsizetype m_failed = 0;
    qsizetype m_answersFetched = 0;
    qsizetype m_answersLeft = 0;
};

}  // namespace zd
