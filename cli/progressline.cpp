#include "cli/progressline.h"

#include <atomic>
#include <csignal>

#include <sys/ioctl.h>
#include <unistd.h>

namespace zd {
namespace {
constexpr qint64 kRedrawMs = 100;
const char kClearLine[] = "\r\033[K";

std::atomic<bool> g_resized{false};
extern "C" void noteResize(int) { g_resized.store(true); }

QString clockText(double seconds)
{
    const qint64 whole = qint64(seconds + 0.5);
    const QString minutesAndSeconds = QStringLiteral("%1:%2").arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                                          .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole >= 3600 ? QString::number(whole / 3600) + ':' + minutesAndSeconds : minutesAndSeconds;
}
// What the site asked for and what is done instead.
QString cappedWaitText(const CappedWait& wait)
{
    const bool retryAfter = wait.kind == CappedWait::Kind::RetryAfter;
    return QStringLiteral("the site asked for %1 %2 s, waiting %3 s%4 (--max-wait)")
        .arg(retryAfter ? QStringLiteral("a Retry-After of") : QStringLiteral("a Crawl-delay of"))
        .arg(QString::number(wait.askedSeconds, 'g', 12), QString::number(wait.keptSeconds, 'g', 12))
        .arg(retryAfter ? QString() : QStringLiteral(" between requests"));
}
}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool wanted)
    : m_stream(stream), m_enabled(wanted && ::isatty(::fileno(stream)))
{
    if (!m_enabled)
        return;
    struct sigaction action = {};
    action.sa_handler = &noteResize;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &action, nullptr);
    m_columns = terminalColumns();
}

ProgressLine::~ProgressLine()
{
    clear();
    if (m_enabled)
        std::signal(SIGWINCH, SIG_DFL);
}

int ProgressLine::terminalColumns() const
{
    struct winsize size = {};
    if (::ioctl(::fileno(m_stream), TIOCGWINSZ, &size) != 0)
        return 0;
    return size.ws_col;
}

QString ProgressLine::describe(const BatchProgress& progress, std::optional<double> secondsLeft)
{
    const double perSecond = progress.seconds > 0 ? progress.requests / progress.seconds : 0;
    QString text = QStringLiteral("%1/%2 done, %3 failed, %4 requests/s")
                       .arg(progress.done).arg(progress.total).arg(progress.failed)
                       .arg(perSecond, 0, 'f', 1);
    if (secondsLeft && progress.done < progress.total)
        text += ", " + clockText(*secondsLeft) + " left";
    if (progress.cappedWait)
        text += ", " + cappedWaitText(*progress.cappedWait);
    return text;
}

QString ProgressLine::fitted(const QString& text, int columns)
{
    if (columns <= 0 || text.size() < columns)
        return text;
    return text.left(std::max(columns - 1, 0));
}

void ProgressLine::show(const BatchProgress& progress)
{
    if (!m_enabled)
        return;
    m_timeLeft.record(progress.seconds, progress.pagesFetched);
    const bool resized = g_resized.exchange(false);
    if (resized)
        m_columns = terminalColumns();
    if (!resized && m_drawn && m_sinceDraw.elapsed() < kRedrawMs)
        return;
    const QString text = describe(progress, m_timeLeft.secondsLeft(progress.pagesLeft));
    const QByteArray line = kClearLine + fitted(text, m_columns).toUtf8();
    std::fwrite(line.constData(), 1, line.size(), m_stream);
    std::fflush(m_stream);
    m_drawn = true;
    m_sinceDraw.start();
}

void ProgressLine::clear()
{
    if (!m_drawn)
        return;
    std::fputs(kClearLine, m_stream);
    std::fflush(m_stream);
    m_drawn = false;
}

}  // namespace zd
