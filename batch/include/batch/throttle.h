#pragma once

#include <chrono>

namespace zd {

// The pace of a batch: the least time between two request starts. It is the
// largest of the rate cap (1/rate), the robots.txt Crawl-delay, the site's
// smoothed response time shared among the jobs (a quarter more than their
// number, so that with the cap on transfers at once about `jobs` requests are
// in flight on average), and a floor that grows after every error and halves
// after each run of successful answers, until it is gone again.
class Throttle {
public:
    using Clock = std::chrono::steady_clock;
    using Duration = std::chrono::duration<double>;

    // rate: requests per second at most; 0 or less: no cap.
    Throttle(double rate, int jobs);

    void setCrawlDelay(Duration delay) { m_crawlDelay = delay; }
    // The earliest time the next request may start.
    Clock::time_point nextStart() const;
    void started(Clock::time_point at);
    // A finished request: how long the site took, and whether it was an error
    // (an error status or a failed transfer).
    void finished(Duration responseTime, bool error);

    Duration interval() const;
    // The caps that hold between any two starts: rate, Crawl-delay, error floor.
    Duration hardInterval() const;
    // The even spread from the response time. It keeps its own schedule, so a
    // start that came late (a busy machine wakes the batch late) does not push
    // back the next one.
    Duration sharedInterval() const;
    Duration errorFloor() const { return m_errorFloor; }

    // Successful answers in a row after which the error floor halves.
    static constexpr int kSuccessesToRelax = 5;

private:
    void relaxErrorFloor();

    Duration m_rateInterval{0};
    Duration m_crawlDelay{0};
    Duration m_errorFloor{0};
    Duration m_smoothedResponse{0};
    bool m_anyResponse = false;
    int m_successesInARow = 0;
    int m_jobs = 1;
    Clock::time_point m_lastStart{};
    Clock::time_point m_sharedNext = Clock::time_point::min();
    bool m_anyStarted = false;
};

}  // namespace zd
