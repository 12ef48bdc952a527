#pragma once

#include <QList>

namespace zd {

// The classes a map colours its values by: class i holds the values from
// lowest[i] to highest[i], both taken from the values themselves, and each
// class begins above the one before it.
struct ValueClasses {
    QList<double> lowest;
    QList<double> highest;

    int count() const { return int(highest.size()); }
    // The class a value falls in: the first whose highest is not below it (the
    // last for a value above every class); -1 when there are no classes.
    int classOf(double value) const;
};

// Quantile classes: the values in order, cut into `wanted` runs of as nearly
// the same length as can be. A value is never split between two classes, so
// runs of equal values can merge classes: a list with fewer distinct values
// than `wanted` gets one class per distinct value. No values, no classes.
ValueClasses quantileClasses(QList<double> values, int wanted);

}  // namespace zd
