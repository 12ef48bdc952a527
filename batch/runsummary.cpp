#include "batch/runsummary.h"

namespace zd {
namespace {
constexpr qsizetype kFailuresNamed = 20;  // the rest were named as they failed
}

void RunSummary::add(const QString& entry, EntryStatus status)
{
    switch (status) {
    case EntryStatus::Found:
    case EntryStatus::Incomplete: ++m_found; break;
    case EntryStatus::NotFound: ++m_notFound; break;
    case EntryStatus::Blank:
    case EntryStatus::NotFiveCharacters: ++m_notFive; break;
    case EntryStatus::Failed:
        ++m_failed;
        m_failedEntries.append(entry);
        break;
    }
}

QString RunSummary::line() const
{
    QString text = QStringLiteral("%1 found, %2 not found, %3 not five characters, %4 failed")
                       .arg(m_found).arg(m_notFound).arg(m_notFive).arg(m_failed);
    if (m_failedEntries.isEmpty())
        return text;
    QStringList named;
    for (qsizetype i = 0; i < std::min(kFailuresNamed, m_failedEntries.size()); ++i)
        named.append('"' + m_failedEntries[i] + '"');
    text += ": " + named.join(", ");
    if (m_failedEntries.size() > kFailuresNamed)
        text += QStringLiteral(" and %1 more").arg(m_failedEntries.size() - kFailuresNamed);
    return text;
}

}  // namespace zd
