#pragma once

#include "export/resultstable.h"
#include "retrieval/entrystatus.h"

#include <QString>
#include <QStringList>

namespace zd {

// The closing line of a batch: how many entries were found, not found, not five
// characters long (blank ones too), answered with an error status (only when
// some were) and failed, with the first failed entries and error answers named
// (long ones cut, see shownEntry).
class RunSummary {
public:
    // An incomplete entry counts as found when its page named a location, else
    // as not found.
    void add(const EntryResult& result);
    bool anyFailed() const { return m_failed > 0; }
    qsizetype failedCount() const { return m_failed; }
    QString line() const;

private:
    qsizetype m_found = 0;
    qsizetype m_notFound = 0;
    qsizetype m_notFive = 0;
    qsizetype m_errorAnswers = 0;
    qsizetype m_failed = 0;
    QStringList m_errorEntries;   // "\"00404\": http 404", the first few
    QStringList m_failedEntries;  // the first few, as shown
};

}  // namespace zd
