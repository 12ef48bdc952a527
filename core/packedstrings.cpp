#include "core/packedstrings.h"

namespace zd {

PackedStrings::PackedStrings(std::initializer_list<QString> strings)
{
    for (const QString& text : strings)
        append(text);
}

PackedStrings::PackedStrings(const QStringList& strings)
{
    m_ends.reserve(strings.size());
    for (const QString& text : strings)
        append(text);
}

void PackedStrings::append(QStringView text)
{
    m_text.append(text);
    m_ends.push_back(m_text.size());
}

void PackedStrings::squeeze()
{
    m_text.squeeze();
    m_ends.shrink_to_fit();
}

QStringView PackedStrings::viewAt(qsizetype index) const
{
    const qsizetype begin = index == 0 ? 0 : m_ends[size_t(index) - 1];
    return QStringView(m_text).sliced(begin, m_ends[size_t(index)] - begin);
}

QString PackedStrings::at(qsizetype index) const { return viewAt(index).toString(); }

QStringList PackedStrings::toStringList() const
{
    QStringList strings;
    strings.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        strings.append(at(i));
    return strings;
}

}  // namespace zd
