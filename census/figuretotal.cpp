#include "census/figuretotal.h"

#include <algorithm>
#include <cmath>

namespace zd {

void CountTotal::add(const Estimate& estimate)
{
    ++m_added;
    m_value += estimate.value;
    if (!estimate.margin) {
        m_marginMissing = true;
        return;
    }
    const double margin = std::abs(*estimate.margin);
    if (estimate.value == 0)
        m_largestZeroMargin = std::max(m_largestZeroMargin, margin);
    else
        m_squaredMargins += margin * margin;
}

std::optional<double> CountTotal::margin() const
{
    if (m_marginMissing || m_added == 0)
        return std::nullopt;
    return std::sqrt(m_squaredMargins + m_largestZeroMargin * m_largestZeroMargin);
}

std::optional<Proportion> proportionOf(const Estimate& count, const Estimate& base)
{
    if (!(base.value > 0))
        return std::nullopt;
    Proportion proportion;
    proportion.value = count.value / base.value;
    if (!count.margin || !base.margin)
        return proportion;
    const double countPart = *count.margin * *count.margin;
    const double basePart = proportion.value * proportion.value * *base.margin * *base.margin;
    double underRoot = countPart - basePart;
    if (underRoot < 0) {
        underRoot = countPart + basePart;
        proportion.ratioForm = true;
    }
    proportion.margin = std::sqrt(underRoot) / base.value;
    return proportion;
}

}  // namespace zd
