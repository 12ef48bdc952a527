#include "cli/keyprompt.h"

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace zd {
namespace {

constexpr int kLongestLine = 4096;

// The terminal's settings before echo was turned off, for the handler of a
// signal that ends the program at the prompt.
struct termios g_savedTerminal {};
int g_terminal = -1;

void restoreTerminalAndStop(int signalNumber)
{
    if (g_terminal >= 0)
        ::tcsetattr(g_terminal, TCSAFLUSH, &g_savedTerminal);
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// Echo off until destroyed, when `descriptor` is a terminal.
class HiddenInput {
public:
    explicit HiddenInput(int descriptor)
    {
        if (::tcgetattr(descriptor, &g_savedTerminal) != 0)
            return;
        g_terminal = descriptor;
        for (const int signalNumber : {SIGINT, SIGTERM, SIGHUP, SIGQUIT})
            m_previous[m_count++] = {signalNumber, std::signal(signalNumber, restoreTerminalAndStop)};
        struct termios hidden = g_savedTerminal;
        hidden.c_lflag &= ~tcflag_t(ECHO);
        hidden.c_lflag |= ECHONL;
        ::tcsetattr(descriptor, TCSAFLUSH, &hidden);
    }
    ~HiddenInput()
    {
        if (g_terminal < 0)
            return;
        ::tcsetattr(g_terminal, TCSAFLUSH, &g_savedTerminal);
        g_terminal = -1;
        for (int i = 0; i < m_count; ++i)
            std::signal(m_previous[i].first, m_previous[i].second);
    }
    HiddenInput(const HiddenInput&) = delete;
    HiddenInput& operator=(const HiddenInput&) = delete;

private:
    std::pair<int, void (*)(int)> m_previous[4]{};
    int m_count = 0;
};

QString readLine(std::FILE* input, QString& error)
{
    char* line = nullptr;
    std::size_t capacity = 0;
    const ssize_t length = ::getline(&line, &capacity, input);
    QString key;
    if (length < 0) {
        error = std::ferror(input) ? QStringLiteral("cannot read the key from standard input")
                                   : QStringLiteral("no key was given on standard input");
    } else {
        key = QString::fromUtf8(line, std::min<ssize_t>(length, kLongestLine)).trimmed();
        // The buffer held the key: cleared before it goes back.
        volatile char* wipe = line;
        for (std::size_t i = 0; i < capacity; ++i)
            wipe[i] = 0;
    }
    std::free(line);
    return key;
}

}  // namespace

QString readKeyFromInput(std::FILE* input, std::FILE* prompts, QString& error)
{
    const int descriptor = ::fileno(input);
    if (!::isatty(descriptor))
        return readLine(input, error);
    std::fputs("Census Data API key (not shown as you type): ", prompts);
    std::fflush(prompts);
    const HiddenInput hidden(descriptor);
    return readLine(input, error);
}

}  // namespace zd
