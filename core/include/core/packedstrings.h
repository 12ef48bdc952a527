#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <initializer_list>
#include <vector>

namespace zd {

// A long list of short strings held as one run of UTF-16 text and the offset of
// each string's end: a few bytes a string beside its characters, where a
// QStringList spends a heap block and some 70 bytes on each. Strings come back
// exactly as they went in (lone surrogates included), made on demand.
class PackedStrings {
public:
    PackedStrings() = default;
    PackedStrings(std::initializer_list<QString> strings);
    PackedStrings(const QStringList& strings);  // NOLINT: a list passes for packed strings

    void append(QStringView text);
    // Gives back the room kept for growth, once the last string is in.
    void squeeze();

    qsizetype size() const { return qsizetype(m_ends.size()); }
    bool isEmpty() const { return m_ends.empty(); }
    QString at(qsizetype index) const;
    QStringView viewAt(qsizetype index) const;

    QStringList toStringList() const;

private:
    QString m_text;
    std::vector<qsizetype> m_ends;
};

}  // namespace zd
