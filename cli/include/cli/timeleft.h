#pragma once

#include <QtGlobal>

#include <deque>
#include <optional>
#include <utility>

namespace zd {

// The time a batch still needs: the pages still to fetch at the pace of the
// last half minute of fetches. Entries answered from the cache cost no time and
// do not count. Times are passed in, in seconds since the batch began.
class TimeLeft {
public:
    static constexpr double kWindowSeconds = 30;

    void record(double seconds, qsizetype pagesFetched);
    // Nothing until the pace is known (two samples with fetches between them).
    std::optional<double> secondsLeft(qsizetype pagesLeft) const;

private:
    std::deque<std::pair<double, qsizetype>> m_samples;  // oldest first
};

}  // namespace zd
