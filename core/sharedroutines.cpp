#include "core/sharedroutines.h"

#include <QDeadlineTimer>
#include <QFileInfo>

#include <algorithm>

namespace zd {

bool FileExists(const QString& path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    return QFileInfo::exists(path);
}

double monotonicClockSeconds()
{
    return double(QDeadlineTimer::current(Qt::PreciseTimer).deadlineNSecs()) / 1e9;
}

WaitHooks realWaitHooks() { return {}; }

void WaitSeconds(double seconds)
{
    WaitSeconds(seconds, realWaitHooks());
}

void WaitSeconds(double seconds, const WaitHooks& hooks)
{
    constexpr double kLongestSleep = 0.05;  // read the clock again at least this often
    const double deadline = hooks.clock() + seconds;
    for (double left = seconds; left > 0; left = deadline - hooks.clock())
        hooks.pumpAndSleep(std::min(left, kLongestSleep));
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
