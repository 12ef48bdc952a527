#include "core/sharedroutines.h"

#include "core/eventpump.h"

#include <QFileInfo>
#include <QTime>

#include <algorithm>

namespace zd {

bool FileExists(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    return QFileInfo::exists(path);
}

double secondsSinceLocalMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

WaitHooks realWaitHooks()
{
    return {&secondsSinceLocalMidnight, &pumpEventsAndSleep};
}

void WaitSeconds(double seconds)
{
    WaitSeconds(seconds, realWaitHooks());
}

void WaitSeconds(double seconds, const WaitHooks& hooks)
{
    constexpr double kSecondsPerDay = 86400.0;
    constexpr double kLongestSleep = 0.05;  // read the clock again at least this often
    const double start = hooks.secondsSinceMidnight();
    for (;;) {
        const double now = hooks.secondsSinceMidnight();
        const double elapsed = now >= start ? now - start : now + kSecondsPerDay - start;
        if (elapsed >= seconds)
            return;
        hooks.pumpAndSleep(std::min(seconds - elapsed, kLongestSleep));
    }
}

namespace {
// One left-to-right pass over non-overlapping pairs of backslashes.
QString collapseBackslashPairs(const QString& text)
{
    QString result = text;
    result.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
    return result;
}
}  // namespace

QString FixPathSlashes(const QString& path)
{
    if (!path.startsWith(QLatin1Char('\\')))
        return collapseBackslashPairs(path);
    qsizetype first = 1;
    while (first < path.size() && path.at(first) == QLatin1Char('\\'))
        ++first;
    return QStringLiteral("\\\\") + collapseBackslashPairs(path.mid(first));
}

}  // namespace zd
