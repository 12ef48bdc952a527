#include "batch/runsummary.h"

#include "batch/namedentries.h"
#include "batch/shownentry.h"

namespace zd {
namespace {
constexpr qsizetype kEntriesNamed = 20;  // the rest were named as they went wrong

QString namedEntries(const QStringList& named, qsizetype count)
{
    return firstEntriesAndMore(named, count, kEntriesNamed);
}
}  // namespace

void RunSummary::add(const EntryResult& result)
{
    const QString& entry = result.entry;
    switch (result.status) {
    case EntryStatus::Found: ++m_found; break;
    case EntryStatus::Incomplete: ++(result.location ? m_found : m_notFound); break;
    case EntryStatus::NotFound: ++m_notFound; break;
    case EntryStatus::Blank:
    case EntryStatus::NotFiveCharacters: ++m_notFive; break;
    case EntryStatus::HttpError:
        ++m_errorAnswers;
        if (m_errorEntries.size() < kEntriesNamed)
            m_errorEntries.append(shownEntry(entry) + ": " + entryStatusText(result.status, result.httpStatus));
        break;
    case EntryStatus::Failed:
        ++m_failed;
        if (m_failedEntries.size() < kEntriesNamed)
            m_failedEntries.append(shownEntry(entry));
        break;
    }
}

QString RunSummary::line() const
{
    QString text = QStringLiteral("%1 found, %2 not found, %3 not five characters, ")
                       .arg(m_found).arg(m_notFound).arg(m_notFive);
    if (m_errorAnswers > 0) {
        text += QStringLiteral("%1 answered with an error status (%2), ")
                    .arg(m_errorAnswers).arg(namedEntries(m_errorEntries, m_errorAnswers));
    }
    text += QStringLiteral("%1 failed").arg(m_failed);
    if (m_failedEntries.isEmpty())
        return text;
    return text + ": " + namedEntries(m_failedEntries, m_failed);
}

}  // namespace zd
