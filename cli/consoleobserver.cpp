#include "cli/consoleobserver.h"

#include "cli/console.h"

namespace zd {

ConsoleObserver::ConsoleObserver(Console& console, bool showProgress)
    : m_console(console), m_progress(console.errorStream(), showProgress)
{
}

void ConsoleObserver::output(const QString& text)
{
    m_progress.clear();
    m_console.print(text);
}

bool ConsoleObserver::outputFailed() { return m_console.outputFailed(); }

void ConsoleObserver::message(const QString& text)
{
    m_progress.clear();
    m_console.printError(text);
}

void ConsoleObserver::progress(const BatchProgress& progress) { m_progress.show(progress); }

}  // namespace zd
