#pragma once

#include <optional>

namespace zd {

// An estimate and its margin of error at the 90% level; no margin when the
// source gave none.
struct Estimate {
    double value = 0;
    std::optional<double> margin;
};

// The sum of several areas' counts with the margin of error of the sum: the
// square root of the sum of the squared margins. Of the areas whose estimate is
// zero only the largest margin is counted, once, since their zero margins are
// modelled alike and would otherwise swell the sum. The margin is unknown as
// soon as one area's is.
class CountTotal {
public:
    void add(const Estimate& estimate);

    double value() const { return m_value; }
    std::optional<double> margin() const;
    Estimate estimate() const { return {m_value, margin()}; }
    bool isEmpty() const { return m_added == 0; }

private:
    double m_value = 0;
    double m_squaredMargins = 0;    // of the non-zero estimates
    double m_largestZeroMargin = 0;
    bool m_marginMissing = false;
    long long m_added = 0;
};

// A proportion derived from a count and the base it is part of, both summed:
// count / base, with margin (1/base)·sqrt(MOE_count² − p²·MOE_base²). Where the
// value under the root is negative the ratio form (+) is taken instead.
struct Proportion {
    double value = 0;                // 0.25 for 25%
    std::optional<double> margin;    // in the same unit
    bool ratioForm = false;          // the ratio form was needed
};

// Nothing when the base is zero or negative: no proportion of nothing.
std::optional<Proportion> proportionOf(const Estimate& count, const Estimate& base);

}  // namespace zd
