#pragma once

#include <QString>

#include <vector>

namespace zd {

// The ZIP codes that have a ZIP Code Tabulation Area of the same number, which
// the Census Bureau publishes figures for. Others (PO boxes, single buildings,
// military mail) are served by the ZCTA around them and have no figures of
// their own. The program's list is data/zcta-2010.txt, built in.
class ZctaList {
public:
    // One five-digit ZCTA a line; other lines are skipped. Empty when the text is.
    static ZctaList parse(const QByteArray& text);
    // The built-in list.
    static ZctaList builtIn();

    bool contains(const QString& zip) const;
    std::size_t size() const { return m_zctas.size(); }

private:
    std::vector<int> m_zctas;  // sorted
};

}  // namespace zd
