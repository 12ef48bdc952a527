#pragma once

#include "batch/pagebatch.h"

#include <QString>

#include <vector>

namespace zd {

// The distinct addresses of a batch, and which of them each entry needs. No
// address is held: each is made again from the first entry that needs it.
// Numbers of 32 bits: a list of 2^31 entries would not fit in memory before it
// got here.
class PageBatchPlan {
public:
    static constexpr qint32 kNoPage = -1;

    explicit PageBatchPlan(const EntryAddresses& entries);

    qsizetype entryCount() const { return qsizetype(m_addressOf.size()); }
    qsizetype addressCount() const { return qsizetype(m_firstEntry.size()); }
    // The number of the entry's address; kNoPage when it needs no page.
    qint32 addressOf(qsizetype entry) const { return m_addressOf[size_t(entry)]; }
    // How many entries need the address.
    qint32 uses(qsizetype address) const { return m_uses[size_t(address)]; }
    qsizetype entriesWithoutPage() const { return m_entriesWithoutPage; }
    // The address's text, made again from its first entry.
    QString addressText(qsizetype address) const;

private:
    const EntryAddresses& m_entries;
    std::vector<qint32> m_addressOf;   // per entry
    std::vector<qint32> m_firstEntry;  // per address
    std::vector<qint32> m_uses;        // per address
    qsizetype m_entriesWithoutPage = 0;
};

}  // namespace zd
