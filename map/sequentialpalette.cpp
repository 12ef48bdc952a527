#include "map/sequentialpalette.h"

#include <array>

namespace zd {
namespace {

// ColorBrewer's sequential scheme "YlGnBu" for 3 to 9 classes, as published by
// Cynthia A. Brewer, Pennsylvania State University (colorbrewer2.org), under
// the Apache License 2.0. Each count has its own set, chosen so that
// neighbouring classes stay apart.
const std::array<QList<const char*>, 7> kYellowGreenBlue = {{
    {"#edf8b1", "#7fcdbb", "#2c7fb8"},
    {"#ffffcc", "#a1dab4", "#41b6c4", "#225ea8"},
    {"#ffffcc", "#a1dab4", "#41b6c4", "#2c7fb8", "#253494"},
    {"#ffffcc", "#c7e9b4", "#7fcdbb", "#41b6c4", "#2c7fb8", "#253494"},
    {"#ffffcc", "#c7e9b4", "#7fcdbb", "#41b6c4", "#1d91c0", "#225ea8", "#0c2c84"},
    {"#ffffd9", "#edf8b1", "#c7e9b4", "#7fcdbb", "#41b6c4", "#1d91c0", "#225ea8", "#0c2c84"},
    {"#ffffd9", "#edf8b1", "#c7e9b4", "#7fcdbb", "#41b6c4", "#1d91c0", "#225ea8", "#253494", "#081d58"},
}};

}  // namespace

QList<QColor> sequentialPalette(int count)
{
    QList<QColor> colours;
    if (count == 1)
        return {QColor("#41b6c4")};
    if (count == 2)
        return {QColor("#7fcdbb"), QColor("#2c7fb8")};
    if (count < 1 || count > kMostMapClasses)
        return colours;
    for (const char* name : kYellowGreenBlue[count - 3])
        colours.append(QColor(name));
    return colours;
}

}  // namespace zd
