#pragma once

#include <QColor>
#include <QList>

namespace zd {

// The most classes a map's palette tells apart.
inline constexpr int kMostMapClasses = 9;

// `count` colours (1 to kMostMapClasses) from light to dark, one hue running
// from yellow through green to blue, which readers with the common forms of
// colour-blindness tell apart by lightness alone.
QList<QColor> sequentialPalette(int count);

}  // namespace zd
