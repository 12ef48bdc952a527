#include "cli/console.h"

#include "core/escapedcontrols.h"

namespace zd {

void Console::print(const QString& text)
{
    const QByteArray bytes = escapedControlsKeepingLines(text).toUtf8();
    if (std::fwrite(bytes.constData(), 1, bytes.size(), m_out) != std::size_t(bytes.size())
        || std::fflush(m_out) != 0)
        m_failed = true;
}

void Console::printError(const QString& text)
{
    const QByteArray bytes = "zipdemographics-cli: " + escapedControlsKeepingLines(text).toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, bytes.size(), m_err);
    std::fflush(m_err);
}

bool Console::outputFailed()
{
    if (std::fflush(m_out) != 0 || std::ferror(m_out))
        m_failed = true;
    return m_failed;
}

}  // namespace zd
