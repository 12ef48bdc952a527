#include "batch/distincttexts.h"

#include <QHashFunctions>

namespace zd {

DistinctTexts::DistinctTexts(TextOf textOf, Hash hash)
    : m_textOf(std::move(textOf)), m_hash(hash), m_slots(64, kFree)
{
}

quint64 DistinctTexts::defaultHash(QStringView text)
{
    static_assert(sizeof(size_t) == sizeof(quint64), "the hash holds 64 bits");
    return quint64(qHash(text, size_t(0)));
}

DistinctTexts::Numbered DistinctTexts::number(QStringView text)
{
    const quint64 hash = m_hash(text);
    const size_t slot = slotOf(hash, text);
    if (m_slots[slot] != kFree)
        return {m_slots[slot], false};
    const qsizetype number = size();
    m_slots[slot] = qint32(number);
    m_hashes.push_back(hash);
    // At most half full, so that a search ends soon.
    if (size_t(size()) * 2 > m_slots.size())
        grow();
    return {number, true};
}

size_t DistinctTexts::slotOf(quint64 hash, QStringView text) const
{
    const size_t mask = m_slots.size() - 1;
    for (size_t slot = size_t(hash) & mask;; slot = (slot + 1) & mask) {
        const qint32 number = m_slots[slot];
        if (number == kFree || (m_hashes[size_t(number)] == hash && m_textOf(number) == text))
            return slot;
    }
}

void DistinctTexts::grow()
{
    std::vector<qint32> wider(m_slots.size() * 2, kFree);
    const size_t mask = wider.size() - 1;
    for (const qint32 number : m_slots) {
        if (number == kFree)
            continue;
        size_t slot = size_t(m_hashes[size_t(number)]) & mask;
        while (wider[slot] != kFree)
            slot = (slot + 1) & mask;
        wider[slot] = number;
    }
    m_slots = std::move(wider);
}

}  // namespace zd
