#include "area/zctalist.h"

#include <QFile>

#include <algorithm>

namespace zd {
namespace {

// The number of a five-digit ZIP code; -1 for any other text.
template <typename Text>
int zipNumber(const Text& text)
{
    if (text.size() != 5)
        return -1;
    int number = 0;
    for (const auto c : text) {
        if (c < '0' || c > '9')
            return -1;
        number = number * 10 + (c - '0');
    }
    return number;
}

}  // namespace

ZctaList ZctaList::parse(const QByteArray& text)
{
    ZctaList list;
    for (const QByteArray& line : text.split('\n')) {
        if (const int number = zipNumber(line.trimmed()); number >= 0)
            list.m_zctas.push_back(number);
    }
    std::sort(list.m_zctas.begin(), list.m_zctas.end());
    list.m_zctas.erase(std::unique(list.m_zctas.begin(), list.m_zctas.end()), list.m_zctas.end());
    return list;
}

ZctaList ZctaList::builtIn()
{
    QFile file(QStringLiteral(":/area/zcta-2010.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

bool ZctaList::contains(const QString& zip) const
{
    const QByteArray latin = zip.toLatin1();
    const int number = zip.size() == 5 ? zipNumber(QByteArrayView(latin)) : -1;
    return number >= 0 && std::binary_search(m_zctas.begin(), m_zctas.end(), number);
}

}  // namespace zd
