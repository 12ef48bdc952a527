#pragma once

#include "map/albersusa.h"

#include <QPainterPath>
#include <QString>

#include <vector>

namespace zd {

struct Outline {
    QString name;
    QString stateCode;
    MapRegion region;
    QPainterPath path;
};

class Atlas {
public:
    static const Atlas& installed();
    const std::vector<Outline>& states() const { return m_states; }
    const std::vector<Outline>& counties() const { return m_counties; }
    QString sourceLine() const { return m_source; }
    QString error() const { return m_error; }

private:
    std::vector<Outline> m_states;
    std::vector<Outline> m_counties;
    QString m_source;
    QString m_error;
};

}  // namespace zd
