#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

class Dialogs;
struct EntryResult;
struct FetchOutcome;

// The entries of one save that failed (no answer, an answer cut off, a time-out,
// figures the API could not give), in list order. A save with such entries must
// not pass for a whole one: it keeps an existing target as it was, and it ends
// with a warning that names them instead of "Done.".
class FailedEntries {
public:
    // Counts the entry when its status says it failed: the rule of every run.
    void judge(const EntryResult& result);
    // The same for an entry whose rows took several fetches (the aligned save
    // of the site's pages): it failed when one of them did.
    void judge(const QString& entry, const QList<FetchOutcome>& fetches);

    bool isEmpty() const { return m_entries.isEmpty(); }
    const QStringList& entries() const { return m_entries; }

    // True when the file must not be written: entries failed and something already
    // stands at the path, which a partial result would replace.
    bool keepsTargetAt(const QString& path) const;

    // The warning that ends such a save: the entries, and whether the target was
    // kept as it was or written without their figures.
    QString warning(const QString& path, bool targetKept) const;

private:
    QStringList m_entries;
};

// Shows the warning of a save whose entries failed (warning icon, OK).
void showFailedEntriesWarning(Dialogs& dialogs, const FailedEntries& failed, const QString& path,
                              bool targetKept);

}  // namespace zd
