#pragma once

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

namespace zd {

// Numbers distinct texts 0, 1, 2, ... in the order they first come, holding a
// 64-bit hash and a slot per text rather than the text itself: when two texts
// share a hash, the text of the number found is made again with `textOf` and
// compared, so a collision never joins two texts.
class DistinctTexts {
public:
    using TextOf = std::function<QString(qsizetype number)>;
    using Hash = quint64 (*)(QStringView text);

    explicit DistinctTexts(TextOf textOf, Hash hash = &defaultHash);

    struct Numbered {
        qsizetype number = 0;
        bool isNew = false;  // the text's first time
    };
    Numbered number(QStringView text);

    qsizetype size() const { return qsizetype(m_hashes.size()); }

    static quint64 defaultHash(QStringView text);

private:
    void grow();
    // The slot of a hash and text: where it is, or the free one where it goes.
    size_t slotOf(quint64 hash, QStringView text) const;

    static constexpr qint32 kFree = -1;
    TextOf m_textOf;
    Hash m_hash;
    std::vector<quint64> m_hashes;  // by number
    std::vector<qint32> m_slots;    // numbers by hash, open addressing; kFree when empty
};

}  // namespace zd
