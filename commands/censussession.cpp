#include "commands/censussession.h"

#include "batch/censusprogress.h"

#include "batch/runobserver.h"
#include "census/censussource.h"
#include "core/besideeventloop.h"

namespace zd {
namespace {

// Keeps the last message of a request: why it could not go on, when it could not.
class LastMessage : public RunObserver {
public:
    void output(const QString&) override {}
    bool outputFailed() override { return false; }
    void message(const QString& text) override { m_last = text; }
    const QString& last() const { return m_last; }

private:
    QString m_last;
};

}  // namespace

CensusSession::CensusSession(CensusSettings settings, BatchSettings batch, QObject* parent)
    : QObject(parent), m_settings(std::move(settings)), m_batch(std::move(batch))
{
}

std::optional<int> CensusSession::year() const
{
    if (m_year)
        return m_year->year;
    if (m_setYearMissing)
        return std::nullopt;
    return m_settings.year;
}

QString CensusSession::sourceTitle() const
{
    const QString source = QStringLiteral("Census Bureau ACS 5-year");
    const std::optional<int> shown = year();
    return shown ? source + QLatin1Char(' ') + QString::number(*shown) : source;
}

std::optional<QString> CensusSession::readYearOnce()
{
    if (m_year)
        return std::nullopt;
    LastMessage observer;
    CheckedCensusYear read;
    CensusProgress progress({});
    runBesideEventLoop([&] { read = readCensusYear(m_settings, m_batch, observer, progress); });
    if (read.exitStatus) {
        if (read.yearMissing) {
            m_setYearMissing = true;
            emit titleChanged();
        }
        return observer.last();
    }
    m_year = std::move(read);
    m_figures.year = m_year->year;
    m_figures.variables = m_year->variables;
    m_figures.labels = m_year->labels;
    emit yearLearned(m_year->year);
    emit titleChanged();
    return std::nullopt;
}

CensusFetchReport CensusSession::fetchFiguresOf(const QStringList& entries)
{
    CensusFetchReport report;
    m_figures.failedZctas.clear();
    QStringList wanted;
    for (const QString& zcta : zctasOfEntries(entries)) {
        if (!m_answered.contains(zcta))
            wanted.append(zcta);
    }
    if (wanted.isEmpty())
        return report;
    if (const std::optional<QString> refusal = readYearOnce()) {
        report.refusal = *refusal;
        return report;
    }
    LastMessage observer;
    CensusFetchResult fetched;
    CensusProgress progress(wanted);
    runBesideEventLoop([&] {
        fetched = fetchCensusFiguresOfYear(wanted, *m_year, m_settings, m_batch, observer, progress);
    });
    if (fetched.exitStatus) {
        report.refusal = observer.last();
        return report;
    }
    report.failedZctas = fetched.figures.failedZctas;
    remember(std::move(fetched.figures), wanted);
    return report;
}

void CensusSession::remember(CensusFigures&& fetched, const QStringList& asked)
{
    const qsizetype offset = m_figures.answers.size();
    for (auto held = fetched.answersOf.constBegin(); held != fetched.answersOf.constEnd(); ++held) {
        for (const qsizetype index : held.value())
            m_figures.answersOf[held.key()].append(offset + index);
    }
    for (CensusAnswer& answer : fetched.answers)
        m_figures.answers.append(std::move(answer));
    for (const QString& zcta : asked) {
        if (!fetched.failedZctas.contains(zcta))
            m_answered.insert(zcta);
    }
    m_figures.failedZctas = std::move(fetched.failedZctas);
}

EntryResult CensusSession::resultOf(const QString& entry) const
{
    return censusEntryResult(entry, m_figures, false);
}

bool CensusSession::knows(const QString& entry) const
{
    const std::optional<QString> zcta = zctaOfEntry(entry);
    return !zcta || m_answered.contains(*zcta);
}

QString CensusSession::failureOf(const QString& entry) const
{
    const std::optional<QString> zcta = zctaOfEntry(entry);
    return zcta ? m_figures.failedZctas.value(*zcta) : QString();
}

RunInfo CensusSession::runInfo() const
{
    if (const std::optional<int> shown = year())
        return censusRunInfo(m_settings, *shown);
    // A list without a ZIP Code Tabulation Area asked for nothing, not even the year.
    RunInfo run = runInfoNow();
    run.site = "Census Data API (" + m_settings.baseUrl + "). " + censusNotice();
    return run;
}

}  // namespace zd
