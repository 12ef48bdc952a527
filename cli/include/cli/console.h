#pragma once

#include <QString>

#include <cstdio>

namespace zd {

// Standard output and standard error of the command line, in UTF-8. Whatever
// reaches the terminal through it keeps its TABs and line ends and has every
// other control character escaped (core/escapedcontrols.h): a server's text
// never retitles the terminal, writes its clipboard or moves its cursor.
class Console {
public:
    explicit Console(std::FILE* out = stdout, std::FILE* err = stderr) : m_out(out), m_err(err) {}

    // Text as it is, then flushed, so that each line shows as soon as it is done.
    void print(const QString& text);
    // One message line: the program's name, the text and a line end.
    void printError(const QString& text);
    // True when anything written to standard output did not arrive.
    [[nodiscard]] bool outputFailed();

    std::FILE* errorStream() const { return m_err; }

private:
    std::FILE* m_out;
    std::FILE* m_err;
    bool m_failed = false;
};

}  // namespace zd
