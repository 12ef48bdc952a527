#include "commands/failedentries.h"

#include "batch/entrysource.h"
#include "batch/exportoutput.h"
#include "batch/namedentries.h"
#include "core/dialogs.h"
#include "retrieval/locationlookup.h"
#include "retrieval/pagefetch.h"

namespace zd {
namespace {

// Enough to find them in the list; a long run of failures is summed up.
constexpr qsizetype kEntriesNamed = 10;

QString namedEntries(const QStringList& entries)
{
    QStringList named;
    for (qsizetype i = 0; i < entries.size() && i < kEntriesNamed; ++i)
        named.append(entries[i].isEmpty() ? QStringLiteral("(empty line)")
                                          : QLatin1Char('"') + entries[i] + QLatin1Char('"'));
    return firstEntriesAndMore(named, entries.size(), kEntriesNamed);
}

}  // namespace

void FailedEntries::judge(const EntryResult& result)
{
    if (entryFailed(result))
        m_entries.append(result.entry);
}

void FailedEntries::judge(const QString& entry, const QList<FetchOutcome>& fetches)
{
    for (const FetchOutcome& fetched : fetches) {
        EntryResult result;
        result.entry = entry;
        result.status = entryStatus(trimZipSpaces(entry), &fetched, false);
        if (entryFailed(result))
            return judge(result);
    }
}

bool FailedEntries::keepsTargetAt(const QString& path) const
{
    return failuresKeepExistingFile(m_entries.size(), path);
}

QString FailedEntries::warning(const QString& path, bool targetKept) const
{
    // One pass of arg(): an entry or a path holding "%1" stays as it is.
    const QString pages =
        m_entries.size() == 1
            ? QStringLiteral("The page of 1 entry could not be fetched: %1.").arg(namedEntries(m_entries))
            : QStringLiteral("The pages of %1 entries could not be fetched: %2.")
                  .arg(QString::number(m_entries.size()), namedEntries(m_entries));
    const QString outcome = targetKept
                                ? QStringLiteral("\"%1\" was left as it was: nothing was saved.")
                                : QStringLiteral("\"%1\" was saved without the figures of those entries.");
    return pages + QStringLiteral("\r\n\r\n") + outcome.arg(path);
}

void showFailedEntriesWarning(Dialogs& dialogs, const FailedEntries& failed, const QString& path,
                              bool targetKept)
{
    showMessageBox(dialogs, failed.warning(path, targetKept), kMessageExclamation);
}

}  // namespace zd
