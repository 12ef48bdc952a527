#include "batch/pagebatchplan.h"

#include "batch/distincttexts.h"

namespace zd {

PageBatchPlan::PageBatchPlan(const EntryAddresses& entries) : m_entries(entries)
{
    m_addressOf.reserve(size_t(entries.count));
    DistinctTexts distinct([this](qsizetype address) { return addressText(address); });
    for (qsizetype entry = 0; entry < entries.count; ++entry) {
        const std::optional<QString> url = entries.addressOf(entry);
        if (!url) {
            m_addressOf.push_back(kNoPage);
            ++m_entriesWithoutPage;
            continue;
        }
        const DistinctTexts::Numbered address = distinct.number(*url);
        if (address.isNew) {
            m_firstEntry.push_back(qint32(entry));
            m_uses.push_back(0);
        }
        ++m_uses[size_t(address.number)];
        m_addressOf.push_back(qint32(address.number));
    }
    m_firstEntry.shrink_to_fit();
    m_uses.shrink_to_fit();
}

QString PageBatchPlan::addressText(qsizetype address) const
{
    return *m_entries.addressOf(m_firstEntry[size_t(address)]);
}

}  // namespace zd
