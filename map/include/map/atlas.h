#pragma once

#include "map/albersusa.h"

#include <QPainterPath>
#include <QString>

#include <vector>

namespace zd {

// A state's or county's outline on the national layout (projected, map units),
// its rings filled odd-even so a hole stays a hole.
struct Outline {
    QString name;        // "California", "Los Angeles"
    QString stateCode;   // the state's postal code, a county's too: "CA"
    QString fips;        // "06" for a state, "06037" for a county
    MapRegion region = MapRegion::Lower48;
    QPainterPath path;
};

// The outlines maps are drawn over: data/us-outlines.bin (made by
// scripts/import-atlas; the format is described there), the states, the District
// of Columbia and Puerto Rico, and their counties.
class Atlas {
public:
    // The outlines in a file. A missing, truncated or damaged file gives an atlas
    // with no outlines whose error() says why.
    static Atlas read(const QString& path);
    // The programs' outlines: beside the program (as in the build tree), else in
    // ../share/zipdemographics/ beside its folder (as installed); read once.
    static const Atlas& installed();

    const std::vector<Outline>& states() const { return m_states; }
    const std::vector<Outline>& counties() const { return m_counties; }
    // The counties of one state (its postal code, "CA"), for a view of a region.
    std::vector<const Outline*> countiesOf(const QString& stateCode) const;
    // What a map credits for its outlines: "Boundaries: U.S. Census Bureau
    // cartographic boundary files 2017 (us-atlas 3.0.1)"; empty when not loaded.
    QString sourceLine() const { return m_sourceLine; }
    // Why the outlines could not be read, naming the file; empty when they were.
    QString error() const { return m_error; }

private:
    std::vector<Outline> m_states;
    std::vector<Outline> m_counties;
    QString m_sourceLine;
    QString m_error;
};

}  // namespace zd
