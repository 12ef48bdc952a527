#pragma once

#include "site/loopbackhttpserver.h"
#include "tests/batch/testclock.h"

#include <QHash>
#include <QList>
#include <QString>

#include <atomic>
#include <chrono>
#include <mutex>

namespace zd::test {

// How the site answers one zip code: after a pause, with these statuses in turn
// (the last one for every later request), each with a page naming the zip code,
// and with these headers on an answer that asks to come back later.
struct Answer {
    std::chrono::milliseconds pause{0};
    QList<int> statuses{200};
    QList<QPair<QByteArray, QByteArray>> laterHeaders{};
};

// A demographics site on loopback (the batch's host while it lives) whose
// answers each test scripts; robots.txt is as given (none by default). With a
// clock, it notes the clock's time of each page request as it comes.
class ScriptedSite {
public:
    explicit ScriptedSite(const TestClock* clock = nullptr);
    ~ScriptedSite();

    void script(const QString& zip, Answer answer);
    void setRobots(int status, const QByteArray& body);

    // Page requests per zip code, robots.txt left out.
    int requestsFor(const QString& zip) const;
    QList<HttpRequest> pageRequests() const;
    int mostAtOnce() const { return m_mostAtOnce.load(); }
    // The clock's seconds at each page request, in the order they came; of one zip code.
    QList<double> arrivals() const;
    QList<double> arrivalsFor(const QString& zip) const;

private:
    void answer(const HttpRequest& request, HttpConnection& connection);
    Answer nextAnswer(const QByteArray& zip, int& status);

    const TestClock* m_clock;
    mutable std::mutex m_mutex;
    QHash<QByteArray, Answer> m_answers;
    QList<QPair<QByteArray, double>> m_arrivals;
    int m_robotsStatus = 404;
    QByteArray m_robots = "none";
    std::atomic<int> m_inFlight{0};
    std::atomic<int> m_mostAtOnce{0};
    LoopbackHttpServer m_server;
};

}  // namespace zd::test
