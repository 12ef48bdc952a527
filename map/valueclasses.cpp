#include "map/valueclasses.h"

#include <algorithm>

namespace zd {

int ValueClasses::classOf(double value) const
{
    const auto above = std::lower_bound(highest.cbegin(), highest.cend(), value);
    if (highest.isEmpty())
        return -1;
    return above == highest.cend() ? count() - 1 : int(above - highest.cbegin());
}

ValueClasses quantileClasses(QList<double> values, int wanted)
{
    ValueClasses classes;
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    for (qsizetype i = 1; i <= wanted && n > 0; ++i) {
        // The last value of the i-th run of n / wanted values.
        const double top = values[(i * n + wanted - 1) / wanted - 1];
        if (!classes.highest.isEmpty() && top <= classes.highest.constLast())
            continue;
        const double bottom = classes.highest.isEmpty()
                                  ? values.constFirst()
                                  : *std::upper_bound(values.cbegin(), values.cend(), classes.highest.constLast());
        classes.lowest.append(bottom);
        classes.highest.append(top);
    }
    return classes;
}

}  // namespace zd
