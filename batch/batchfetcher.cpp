#include "batch/batchfetcher.h"

#include "retrieval/pagetransfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>

namespace zd {
namespace {
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr auto kLongestPoll = 100ms;      // ticks and stop checks at least this often
constexpr auto kGraceAfterStop = 5s;      // for transfers in flight when asked to stop

struct MultiDeleter {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};

struct Waiting {
    qsizetype index = 0;
    int attempt = 0;  // tries made so far
    Clock::time_point notBefore{};
};

struct Active {
    qsizetype index = 0;
    int attempt = 0;
    std::unique_ptr<PageTransfer> transfer;
    Clock::time_point started;
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
    std::vector<Clock::time_point> jobFreeAt;  // one per job; max() while busy
    std::mt19937 random{std::random_device{}()};
    std::optional<Clock::time_point> stopDeadline;

    Run(BatchFetcher& fetcher, qsizetype pages, const UrlOf& url, const Finished& done, const MayStart& allowed)
        : owner(fetcher), count(pages), urlOf(url), finished(done), mayStart(allowed),
          jobFreeAt(std::clamp(fetcher.m_options.jobs, 1, 64), Clock::time_point::min())
    {
    }

    ~Run() { abandonActive(); }

    bool stopRequested() const { return owner.m_options.stop && owner.m_options.stop->load() != 0; }
    bool anyFresh() const { return nextFresh < count; }
    bool busy() const { return anyFresh() || !retrying.empty() || !active.empty(); }

    // The next page that may start now, retries first; nothing when none may.
    std::optional<Waiting> takeReady(Clock::time_point now)
    {
        auto ready = std::min_element(retrying.begin(), retrying.end(),
                                      [](const Waiting& a, const Waiting& b) { return a.notBefore < b.notBefore; });
        if (ready != retrying.end() && ready->notBefore <= now) {
            const Waiting taken = *ready;
            retrying.erase(ready);
            return taken;
        }
        if (!anyFresh() || (mayStart && !mayStart()))
            return std::nullopt;
        return Waiting{nextFresh++, 0, {}};
    }

    std::vector<Clock::time_point>::iterator freeJob(Clock::time_point now)
    {
        return std::find_if(jobFreeAt.begin(), jobFreeAt.end(), [now](auto at) { return at <= now; });
    }

    bool start(const Waiting& page, Clock::time_point now)
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
        *freeJob(now) = Clock::time_point::max();
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
            const Clock::time_point now = Clock::now();
            if (stopDeadline || freeJob(now) == jobFreeAt.end() || owner.m_throttle.nextStart() > now)
                return;
            const std::optional<Waiting> page = takeReady(now);
            if (!page)
                return;
            start(*page, now);
        }
    }

    // When the next page could start: a job free, the throttle's pace kept and,
    // with only retries left, the first retry due. Finished transfers wake the
    // poll by themselves.
    Clock::time_point nextWake() const
    {
        const Clock::time_point longest = Clock::now() + kLongestPoll;
        if (!anyFresh() && retrying.empty())
            return longest;
        Clock::time_point at = std::max(*std::min_element(jobFreeAt.begin(), jobFreeAt.end()),
                                        owner.m_throttle.nextStart());
        if (!anyFresh()) {
            const auto due = std::min_element(retrying.begin(), retrying.end(),
                                              [](const Waiting& a, const Waiting& b) { return a.notBefore < b.notBefore; });
            at = std::max(at, due->notBefore);
        }
        return std::min(at, longest);
    }

    void release(Active& done, Clock::time_point now)
    {
        curl_multi_remove_handle(multi.get(), done.transfer->handle());
        const auto job = std::find(jobFreeAt.begin(), jobFreeAt.end(), Clock::time_point::max());
        if (job != jobFreeAt.end())
            *job = now + owner.m_options.pauseAfterFetch;
    }

    void settle(Active& done, CURLcode code)
    {
        const Clock::time_point now = Clock::now();
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
    void noteLongWait(qsizetype index, long long askedSeconds, Clock::time_point ends)
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
        stopDeadline = Clock::now() + kGraceAfterStop;
        nextFresh = count;
        retrying.clear();
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
            if (stopDeadline && Clock::now() >= *stopDeadline)
                abandonActive();
            startWhatMay();
            int running = 0;
            curl_multi_perform(multi.get(), &running);
            collectFinished();
            const auto wait = std::chrono::ceil<std::chrono::milliseconds>(nextWake() - Clock::now());
            if (busy())
                curl_multi_poll(multi.get(), nullptr, 0, int(std::clamp<long long>(wait.count(), 0, 100)), nullptr);
            if (tick)
                tick();
        }
        return !stopDeadline;
    }
};

BatchFetcher::BatchFetcher(const BatchOptions& options, Throttle& throttle)
    : m_options(options), m_throttle(throttle)
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
    if (m_cappedRetry && Clock::now() < m_cappedRetryEnds)
        return m_cappedRetry;
    return std::nullopt;
}

}  // namespace zd
