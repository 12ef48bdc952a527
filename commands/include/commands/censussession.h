#pragma once

#include "batch/batchsettings.h"
#include "batch/censusapisource.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// What became of one request for figures: why the API refused it (empty when it
// answered).
struct CensusFetchReport {
    QString refusal;
    bool keyRefused = false;  // the API refused the key, or asked for one
};

// The census source of one run of the window: the same source as the command
// line's (its settings, the year and the figures' labels, read once, and every
// ZCTA's figures once they have arrived, so that nothing is asked for twice),
// asked beside the event loop, with the title told when the year is learned.
class CensusSession : public QObject {
    Q_OBJECT
public:
    explicit CensusSession(CensusSettings settings, BatchSettings batch = {}, QObject* parent = nullptr);

    const CensusSettings& settings() const { return m_source.settings(); }
    // The key the user gave once the window was up.
    void setKey(const QString& key) { m_source.setKey(key); }
    // The year shown: the one the API answered with, else the one set at start
    // until the API has said that it has no such year.
    std::optional<int> year() const { return m_source.year(); }
    // "Census Bureau ACS 5-year 2024", or without the year while it is not known.
    QString sourceTitle() const;

    // Asks the API for the figures of the entries' ZCTAs not remembered yet, all
    // in the fewest requests (the year's variable list first, the first time),
    // beside the event loop. The entries that are no ZCTA ask for nothing.
    CensusFetchReport fetchFiguresOf(const QStringList& entries);
    // The total of the entries' found ZCTAs with its margins (see
    // CensusApiSource::fetchTotal), asked for beside the event loop; or why the
    // API refused it.
    CensusFetchReport fetchTotalOf(const QStringList& entries, EntryResult& total);
    // An entry's results as remembered: found with its place and figures, not
    // found (no ZCTA, or one the API lacks), or failed when the last fetch could
    // not have its figures.
    EntryResult resultOf(const QString& entry) const { return m_source.resultOf(entry, false); }
    // Whether the entry's results are at hand without a request: it is no ZCTA,
    // or its ZCTA's answer has arrived.
    bool knows(const QString& entry) const { return m_source.knows(entry); }
    // Why the last fetch could not have the entry's figures; empty when it could.
    QString failureOf(const QString& entry) const { return m_source.failureOf(entry); }

    // The results as a table file's "About" sheet names them.
    RunInfo runInfo() const { return m_source.runInfo(); }

signals:
    // The year became known; the title shows it from now on.
    void yearLearned(int year);
    // The title to show changed: the year became known, or the one set at start
    // turned out to be none the API has.
    void titleChanged();

private:
    std::optional<EarlyEnd> readYearOnce();

    CensusApiSource m_source;
};

}  // namespace zd
