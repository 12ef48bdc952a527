#include "batch/figurereliability.h"

#include "census/reliability.h"
#include "export/figurenumber.h"

namespace zd {

void addReliability(EntryResult& result)
{
    for (Figure& figure : result.figures) {
        if (!figure.margin || figure.bound != FigureBound::None)
            continue;  // a bound is no estimate to set an error against
        const std::optional<double> value = readFigureValue(figure.value);
        const std::optional<double> margin = readFigureValue(*figure.margin);
        const std::optional<double> cv = value && margin ? coefficientOfVariation(*value, *margin) : std::nullopt;
        figure.cv = cv ? cvText(*cv) : QString();
        figure.reliability = cv ? reliabilityWord(reliabilityOf(*cv)) : QString();
    }
}

QString reliabilityKey()
{
    return QStringLiteral("Each figure's coefficient of variation (CV) is its margin of error / 1.645 / its "
                          "estimate; reliability is high for a CV under 12%, medium from 12% to 40%, low over "
                          "40% (no CV for an estimate of zero). Figures of low reliability are shaded.");
}

}  // namespace zd
