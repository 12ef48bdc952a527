#include "batch/batchfetcher.h"

#include "retrieval/pagetransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

namespace zd {
namespace {
using TimePoint = BatchClock::TimePoint;
using namespace std::chrono_literals;

constexpr auto kTickEvery = 100ms;        // ticks and stop checks at least this often
constexpr auto kGraceAfterStop = 5s;      // for transfers in flight when asked to stop

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

struct Waiting {
    qsizetype index = 0;
    int attempt = 0;  // tries made so far
    TimePoint notBefore{};
};

struct Active {
    qsizetype index = 0;
    int attempt = 0;
    std::unique_ptr<PageTransfer> transfer;
    TimePoint started;
};

bool isErrorAnswer(const FetchOutcome& outcome)
{
    return !outcome.complete || outcome.httpStatus >= 500 || RetryPolicy::isRetryableStatus(outcome.httpStatus);
}

}  // namespace

struct BatchFetcher::Run {
    BatchFetcher& owner;
    const qsizetype count;
    const UrlOf& urlOf;
    const Finished& finished;
    const MayStart& mayStart;
    std::unique_ptr<CURLM, MultiDeleter> multi{curl_multi_init()};
    qsizetype nextFresh = 0;  // pages from here on have not started yet
    std::vector<Waiting> retrying;
    std::map<CURL*, Active> active;
    std::vector<TimePoint> jobFreeAt;  // one per job; max() while busy
    std::mt19937 random{std::random_device{}()};
    std::optional<TimePoint> stopDeadline;
    TimePoint nextTick;

    Run(BatchFetcher& fetcher, qsizetype pages, const UrlOf& url, const Finished& done, const MayStart& allowed)
        : owner(fetcher), count(pages), urlOf(url), finished(done), mayStart(allowed),
          jobFreeAt(std::clamp(fetcher.m_options.jobs, 1, 64), TimePoint::min()),
          nextTick(fetcher.m_clock.now() + kTickEvery)
    {
    }

    ~Run() { abandonActive(); }

    bool stopRequested() const { return owner.m_options.stop && owner.m_options.stop->load() != 0; }
    bool timeIsUp() const { return owner.m_options.deadline && clock().now() >= *owner.m_options.deadline; }
    bool anyFresh() const { return nextFresh < count; }
    bool freshMayStart() const { return anyFresh() && (!mayStart || mayStart()); }
    BatchClock& clock() const { return owner.m_clock; }
    bool busy() const { return anyFresh() || !retrying.empty() || !active.empty(); }

    // The next page that may start now, retries first; nothing when none may.
    std::optional<Waiting> takeReady(TimePoint now)
    {
        auto ready = std::min_element(retrying.begin(), retrying.end(),
                                      [](const Waiting& a, const Waiting& b) { return a.notBefore < b.notBefore; });
        if (ready != retrying.end() && ready->notBefore <= now) {
            const Waiting taken = *ready;
            retrying.erase(ready);
            return taken;
        }
        if (!freshMayStart())
            return std::nullopt;
        return Waiting{nextFresh++, 0, {}};
    }

    std::vector<TimePoint>::iterator freeJob(TimePoint now)
    {
        return std::find_if(jobFreeAt.begin(), jobFreeAt.end(), [now](auto at) { return at <= now; });
    }

    bool start(const Waiting& page, TimePoint now)
    {
        auto transfer = std::make_unique<PageTransfer>(withSentSuffix(urlOf(page.index)),
                                                       owner.m_options.timeouts, owner.m_options.largestPage,
                                                       owner.m_options.transfer);
        if (!transfer->ready() || curl_multi_add_handle(multi.get(), transfer->handle()) != CURLM_OK) {
            finished(page.index, transfer->finish(CURLE_FAILED_INIT));
            return false;
        }
        ++owner.m_requests;
        if (page.attempt > 0)
            ++owner.m_retries;
        *freeJob(now) = TimePoint::max();
        owner.m_throttle.started(now);
        CURL* handle = transfer->handle();
        active.emplace(handle, Active{page.index, page.attempt + 1, std::move(transfer), now});
        return true;
    }

    // The address as sent: a suffix that adds a query parameter ("&key=...")
    // starts the query of an address that has none.
    QString withSentSuffix(const QString& url) const
    {
        QString suffix = owner.m_options.sentSuffix;
        if (suffix.startsWith('&') && !url.contains('?'))
            suffix[0] = '?';
        return url + suffix;
    }

    void startWhatMay()
    {
        for (;;) {
            const TimePoint now = clock().now();
            if (stopDeadline || freeJob(now) == jobFreeAt.end() || owner.m_throttle.nextStart() > now)
                return;
            const std::optional<Waiting> page = takeReady(now);
            if (!page)
                return;
            start(*page, now);
        }
    }

    // When the loop has something to do, short of a transfer ending (that wakes
    // the wait on the network by itself): the next tick, the end of the grace
    // after a stop, or the next start a free job, the pace and a due retry allow.
    TimePoint nextWake() const
    {
        if (stopDeadline)
            return std::min(nextTick, *stopDeadline);
        TimePoint at = std::min(nextTick, owner.m_options.deadline.value_or(TimePoint::max()));
        const TimePoint startable = std::max(*std::min_element(jobFreeAt.begin(), jobFreeAt.end()),
                                             owner.m_throttle.nextStart());
        if (freshMayStart())
            at = std::min(at, startable);
        if (!retrying.empty()) {
            const auto due = std::min_element(retrying.begin(), retrying.end(),
                                              [](const Waiting& a, const Waiting& b) { return a.notBefore < b.notBefore; });
            at = std::min(at, std::max(startable, due->notBefore));
        }
        return at;
    }

    // Waits for the next thing to do: on the network while transfers are in flight.
    void waitForWork()
    {
        const TimePoint until = nextWake();
        if (until <= clock().now())
            return;
        if (active.empty()) {
            clock().waitUntil(until, {});
            return;
        }
        clock().waitUntil(until, [this](std::chrono::milliseconds most) {
            curl_multi_poll(multi.get(), nullptr, 0, int(std::clamp<long long>(most.count(), 0, 1000)), nullptr);
        });
    }

    void tickWhenDue(const Tick& tick)
    {
        const TimePoint now = clock().now();
        if (now < nextTick)
            return;
        nextTick = now + kTickEvery;
        if (tick)
            tick();
    }

    void release(Active& done, TimePoint now)
    {
        curl_multi_remove_handle(multi.get(), done.transfer->handle());
        const auto job = std::find(jobFreeAt.begin(), jobFreeAt.end(), TimePoint::max());
        if (job != jobFreeAt.end())
            *job = now + owner.m_options.pauseAfterFetch;
    }

    void settle(Active& done, CURLcode code)
    {
        const TimePoint now = clock().now();
        release(done, now);
        FetchOutcome outcome = done.transfer->finish(code);
        owner.m_throttle.finished(now - done.started, isErrorAnswer(outcome));
        const bool transient = outcome.complete ? RetryPolicy::isRetryableStatus(outcome.httpStatus)
                                                      || transientAnswer(outcome)
                                                : done.transfer->failedTransiently(code);
        if (transient && stopRequested())
            return;  // left for the next run, like the pages not started
        if (transient && done.attempt <= owner.m_options.retry.retries) {
            const double jitter = std::uniform_real_distribution<double>(0.0, 1.0)(random);
            const long long asked = done.transfer->retryAfterSeconds();
            const auto pause = owner.m_options.retry.pauseBefore(done.attempt, jitter, asked);
            noteLongWait(done.index, asked, now + pause);
            retrying.push_back({done.index, done.attempt, now + pause});
            return;
        }
        if (transient && outcome.complete) {
            outcome.complete = false;
            outcome.transportError = QStringLiteral("the site answered with status %1 on every try")
                                         .arg(outcome.httpStatus);
        }
        finished(done.index, std::move(outcome));
    }

    bool transientAnswer(const FetchOutcome& outcome) const
    {
        return owner.m_options.answerIsTransient && owner.m_options.answerIsTransient(outcome);
    }

    // A Retry-After beyond --max-wait: named in a warning, and shown while it is waited out.
    void noteLongWait(qsizetype index, long long askedSeconds, TimePoint ends)
    {
        const std::chrono::seconds longest = owner.m_options.retry.maxWait;
        if (askedSeconds <= longest.count())
            return;
        if (!owner.m_cappedRetry || ends > owner.m_cappedRetryEnds) {
            owner.m_cappedRetry = CappedWait{CappedWait::Kind::RetryAfter, double(askedSeconds), double(longest.count())};
            owner.m_cappedRetryEnds = ends;
        }
        if (!owner.m_options.warning)
            return;
        owner.m_options.warning(QStringLiteral("the site asked to wait %1 s before asking again for %2 "
                                               "(Retry-After); waiting %3 s, the --max-wait")
                                    .arg(askedSeconds).arg(urlOf(index)).arg(longest.count()));
    }

    void collectFinished()
    {
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi.get(), &left)) {
            if (message->msg != CURLMSG_DONE)
                continue;
            const auto found = active.find(message->easy_handle);
            if (found == active.end())
                continue;
            settle(found->second, message->data.result);
            active.erase(found);
        }
    }

    void noticeStop()
    {
        if (stopDeadline || !stopRequested())
            return;
        stopDeadline = clock().now() + kGraceAfterStop;
        nextFresh = count;
        retrying.clear();
    }

    // The run's time limit has come: every page not finished fails, those in
    // flight first, then those waiting to be tried again, then those not started.
    void endAtDeadline()
    {
        for (auto& [handle, transfer] : active) {
            curl_multi_remove_handle(multi.get(), handle);
            finished(transfer.index, pastDeadline());
        }
        active.clear();
        for (const Waiting& page : retrying)
            finished(page.index, pastDeadline());
        retrying.clear();
        while (nextFresh < count)
            finished(nextFresh++, pastDeadline());
    }

    static FetchOutcome pastDeadline()
    {
        FetchOutcome outcome;
        outcome.transportError = QStringLiteral("the run's time limit (--time-limit) passed before it arrived");
        return outcome;
    }

    void abandonActive()
    {
        for (auto& [handle, transfer] : active)
            curl_multi_remove_handle(multi.get(), handle);
        active.clear();
    }

    bool loop(const Tick& tick)
    {
        while (busy()) {
            noticeStop();
            if (stopDeadline && clock().now() >= *stopDeadline)
                abandonActive();
            if (!stopDeadline && timeIsUp())
                endAtDeadline();
            startWhatMay();
            int running = 0;
            curl_multi_perform(multi.get(), &running);
            collectFinished();
            if (busy())
                waitForWork();
            tickWhenDue(tick);
        }
        return !stopDeadline;
    }
};

BatchFetcher::BatchFetcher(const BatchOptions& options, Throttle& throttle)
    : m_options(options), m_throttle(throttle), m_clock(options.clock ? *options.clock : steadyBatchClock())
{
    initialiseCurlOnce();
}

BatchFetcher::~BatchFetcher() = default;

bool BatchFetcher::run(qsizetype count, const UrlOf& urlOf, const Finished& finished, const Tick& tick,
                       const MayStart& mayStart)
{
    Run run(*this, count, urlOf, finished, mayStart);
    if (!run.multi) {
        for (qsizetype i = 0; i < count; ++i)
            finished(i, PageTransfer(urlOf(i), m_options.timeouts).finish(CURLE_FAILED_INIT));
        return true;
    }
    return run.loop(tick);
}

bool BatchFetcher::run(const QStringList& urls, const Finished& finished, const Tick& tick,
                       const MayStart& mayStart)
{
    return run(urls.size(), [&urls](qsizetype index) { return urls[index]; }, finished, tick, mayStart);
}

qsizetype BatchFetcher::requestsSent() const { return m_requests; }
qsizetype BatchFetcher::retriesSent() const { return m_retries; }

std::optional<CappedWait> BatchFetcher::cappedWaitNow() const
{
    if (m_cappedRetry && m_clock.now() < m_cappedRetryEnds)
        return m_cappedRetry;
    return std::nullopt;
}

}  // namespace zd
