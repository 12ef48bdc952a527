#include "batch/censusprogress.h"

#include "batch/censusentries.h"

namespace zd {

CensusProgress::CensusProgress(const PackedStrings& entries) : m_entryCount(entries.size())
{
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (const std::optional<QString> zcta = zctaOfEntry(entries.at(i)))
            ++m_entriesOfZcta[*zcta];
        else
            ++m_done;
    }
    // Until the requests are planned, each entry with a ZCTA waits for an answer
    // at least: the time left is not known yet, and not nothing.
    m_answersLeft = m_entryCount - m_done;
}

qsizetype CensusProgress::entriesAsked(const QStringList& zctas) const
{
    qsizetype entries = 0;
    for (const QString& zcta : zctas)
        entries += m_entriesOfZcta.value(zcta);
    return entries;
}

void CensusProgress::planRequests(const QList<QStringList>& zctasAsked)
{
    m_zctasAsked = zctasAsked;
    m_answersLeft = 0;
    for (const QStringList& zctas : zctasAsked) {
        for (const QString& zcta : zctas)
            ++m_requestsLeft[zcta];
        m_answersLeft += entriesAsked(zctas);
    }
}

void CensusProgress::requestAnswered(qsizetype request, const PageResult& page)
{
    const QStringList& zctas = m_zctasAsked.value(request);
    const qsizetype entries = entriesAsked(zctas);
    m_answersLeft -= entries;
    if (!page.fromCache)
        m_answersFetched += entries;
    for (const QString& zcta : zctas) {
        if (!page.outcome.complete)
            m_failedZctas.insert(zcta);
        if (--m_requestsLeft[zcta] > 0)
            continue;
        m_done += m_entriesOfZcta.value(zcta);
        if (m_failedZctas.contains(zcta))
            m_failed += m_entriesOfZcta.value(zcta);
    }
}

BatchProgress CensusProgress::inEntries(const BatchProgress& batch) const
{
    BatchProgress entries = batch;
    entries.total = m_entryCount;
    entries.done = m_done;
    entries.failed = m_failed;
    entries.pagesFetched = m_answersFetched;
    entries.pagesLeft = m_answersLeft;
    return entries;
}

}  // namespace zd
