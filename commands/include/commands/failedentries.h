#pragma once

#include <QString>
#include <QStringList>

namespace zd {

class Dialogs;

// The entries of one save whose pages did not all arrive (no answer, an answer cut
// off, a time-out), in list order. A save with such entries must not pass for a
// whole one: it keeps an existing target as it was, and it ends with a warning
// that names them instead of "Done.".
class FailedEntries {
public:
    // Notes where the fetch count stands before an entry's fetches ...
    void startEntry();
    // ... and counts the entry as failed when one of its fetches failed since.
    void finishEntry(const QString& entry);
    void add(const QString& entry) { m_entries.append(entry); }

    bool isEmpty() const { return m_entries.isEmpty(); }
    const QStringList& entries() const { return m_entries; }

    // True when the file must not be written: entries failed and something already
    // stands at the path, which a partial result would replace.
    bool keepsTargetAt(const QString& path) const;

    // The warning that ends such a save: the entries, and whether the target was
    // kept as it was or written without their figures.
    QString warning(const QString& path, bool targetKept) const;

private:
    long long m_failuresBefore = 0;
    QStringList m_entries;
};

// Shows the warning of a save whose entries failed (warning icon, OK).
void showFailedEntriesWarning(Dialogs& dialogs, const FailedEntries& failed, const QString& path,
                              bool targetKept);

}  // namespace zd
