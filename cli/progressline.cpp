#include "cli/progressline.h"

#include <unistd.h>

namespace zd {
namespace {
constexpr qint64 kRedrawMs = 100;
const char kClearLine[] = "\r\033[K";

QString clockText(double seconds)
{
    const qint64 whole = qint64(seconds + 0.5);
    const QString minutesAndSeconds = QStringLiteral("%1:%2").arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
                                          .arg(whole % 60, 2, 10, QLatin1Char('0'));
    return whole >= 3600 ? QString::number(whole / 3600) + ':' + minutesAndSeconds : minutesAndSeconds;
}
}  // namespace

ProgressLine::ProgressLine(std::FILE* stream, bool wanted)
    : m_stream(stream), m_enabled(wanted && ::isatty(::fileno(stream)))
{
}

ProgressLine::~ProgressLine() { clear(); }

QString ProgressLine::describe(const BatchProgress& progress)
{
    const double perSecond = progress.seconds > 0 ? progress.requests / progress.seconds : 0;
    QString text = QStringLiteral("%1/%2 done, %3 failed, %4 requests/s")
                       .arg(progress.done).arg(progress.total).arg(progress.failed)
                       .arg(perSecond, 0, 'f', 1);
    if (progress.done > 0 && progress.done < progress.total) {
        const double left = progress.seconds / progress.done * (progress.total - progress.done);
        text += ", " + clockText(left) + " left";
    }
    return text;
}

void ProgressLine::show(const BatchProgress& progress)
{
    if (!m_enabled || (m_drawn && m_sinceDraw.elapsed() < kRedrawMs))
        return;
    const QByteArray line = kClearLine + describe(progress).toUtf8();
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
