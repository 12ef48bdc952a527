#include "tests/batch/scriptedsite.h"

#include "core/siteconfig.h"

#include <algorithm>
#include <stdexcept>

namespace zd::test {

ScriptedSite::ScriptedSite(const TestClock* clock)
    : m_clock(clock),
      m_server([this](const HttpRequest& request, HttpConnection& connection) { answer(request, connection); })
{
    m_server.setKeepAlive(true);
    if (!m_server.listen())
        throw std::runtime_error("scripted site: " + m_server.errorString().toStdString());
    setDemographicsHostOverride(QString::fromLatin1(m_server.hostAndPort()));
}

ScriptedSite::~ScriptedSite()
{
    m_server.stop();
    setDemographicsHostOverride(QString());
}

void ScriptedSite::script(const QString& zip, Answer answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.insert(zip.toLatin1(), answer);
}

void ScriptedSite::setRobots(int status, const QByteArray& body)
{
    std::lock_guard lock(m_mutex);
    m_robotsStatus = status;
    m_robots = body;
}

int ScriptedSite::requestsFor(const QString& zip) const
{
    const QList<HttpRequest> pages = pageRequests();
    return int(std::count_if(pages.cbegin(), pages.cend(),
                             [&](const HttpRequest& r) { return r.queryValue("zip") == zip.toLatin1(); }));
}

QList<HttpRequest> ScriptedSite::pageRequests() const
{
    QList<HttpRequest> pages;
    for (const HttpRequest& request : m_server.requests()) {
        if (request.pathAndQuery() != "/robots.txt")
            pages.append(request);
    }
    return pages;
}

QList<double> ScriptedSite::arrivals() const
{
    std::lock_guard lock(m_mutex);
    QList<double> seconds;
    for (const auto& [zip, at] : m_arrivals)
        seconds.append(at);
    return seconds;
}

QList<double> ScriptedSite::arrivalsFor(const QString& zip) const
{
    std::lock_guard lock(m_mutex);
    QList<double> seconds;
    for (const auto& [of, at] : m_arrivals) {
        if (of == zip.toLatin1())
            seconds.append(at);
    }
    return seconds;
}

void ScriptedSite::answer(const HttpRequest& request, HttpConnection& connection)
{
    if (request.pathAndQuery() == "/robots.txt") {
        std::unique_lock lock(m_mutex);
        const int status = m_robotsStatus;
        const QByteArray robots = m_robots;
        lock.unlock();
        connection.sendResponse(status, robots, "text/plain");
        return;
    }
    const int atOnce = ++m_inFlight;
    for (int most = m_mostAtOnce.load(); atOnce > most && !m_mostAtOnce.compare_exchange_weak(most, atOnce);) {
    }
    const QByteArray zip = request.queryValue("zip");
    int status = 200;
    const Answer answer = nextAnswer(zip, status);
    connection.stall(answer.pause);
    --m_inFlight;
    const bool later = status == 429 || status == 503;
    connection.sendResponse(status, "<title>Page of " + zip + "</title>", "text/html; charset=windows-1252",
                            later ? answer.laterHeaders : QList<QPair<QByteArray, QByteArray>>{});
}

Answer ScriptedSite::nextAnswer(const QByteArray& zip, int& status)
{
    std::lock_guard lock(m_mutex);
    if (m_clock)
        m_arrivals.append({zip, m_clock->seconds()});
    Answer& answer = m_answers[zip];
    status = answer.statuses.size() > 1 ? answer.statuses.takeFirst() : answer.statuses.first();
    return answer;
}

}  // namespace zd::test
