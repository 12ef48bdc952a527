#include "commands/censussession.h"

#include "batch/censusprogress.h"
#include "batch/earlyend.h"
#include "batch/runobserver.h"
#include "core/besideeventloop.h"

namespace zd {

CensusSession::CensusSession(CensusSettings settings, BatchSettings batch, QObject* parent)
    : QObject(parent), m_source(std::move(settings), std::move(batch))
{
}

QString CensusSession::sourceTitle() const
{
    const QString source = QStringLiteral("Census Bureau ACS 5-year");
    const std::optional<int> shown = year();
    return shown ? source + QLatin1Char(' ') + QString::number(*shown) : source;
}

std::optional<EarlyEnd> CensusSession::readYearOnce()
{
    const std::optional<int> shownBefore = year();
    UnseenRun observer;
    CensusProgress progress({});
    std::optional<EarlyEnd> end;
    runBesideEventLoop([&] { end = m_source.readYear(observer, progress); });
    if (!end)
        emit yearLearned(*year());
    if (year() != shownBefore || !end)
        emit titleChanged();
    return end;
}

CensusFetchReport CensusSession::fetchFiguresOf(const QStringList& entries)
{
    CensusFetchReport report;
    const QStringList wanted = m_source.missingZctas(entries);
    if (wanted.isEmpty())
        return report;
    std::optional<EarlyEnd> end;
    if (!m_source.hasYear())
        end = readYearOnce();
    if (!end) {
        UnseenRun observer;
        CensusProgress progress(wanted);
        runBesideEventLoop([&] { end = m_source.fetchZctas(wanted, observer, progress); });
    }
    if (end) {
        report.refusal = end->message;
        report.keyRefused = end->reason == EndReason::KeyRefused;
    }
    return report;
}

CensusFetchReport CensusSession::fetchTotalOf(const QStringList& entries, EntryResult& total)
{
    CensusFetchReport report;
    const PackedStrings packed(entries);
    UnseenRun observer;
    std::optional<EarlyEnd> end;
    runBesideEventLoop([&] { end = m_source.fetchTotal(packed, observer, total); });
    if (end) {
        report.refusal = end->message;
        report.keyRefused = end->reason == EndReason::KeyRefused;
    }
    return report;
}

}  // namespace zd
