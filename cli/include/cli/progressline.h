#pragma once

#include "batch/pagebatch.h"
#include "cli/timeleft.h"

#include <QElapsedTimer>

#include <cstdio>
#include <optional>

namespace zd {

// The one-line progress display of a batch on standard error: done/total,
// failures, requests per second, the time left (the pages still to fetch at
// the recent pace) and, while one holds the batch back, a wait the site asked
// for that --max-wait cut short, redrawn at most ten times a second, cut to the terminal's
// width (asked again when the terminal is resized) and cleared at the end.
// Shown only when the stream is a terminal.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool wanted);
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void show(const BatchProgress& progress);
    // Removes the line, so that what follows starts on a clean line.
    void clear();

    // The line's text; `secondsLeft` when known.
    static QString describe(const BatchProgress& progress, std::optional<double> secondsLeft);
    // The text cut to fit `columns` without wrapping (one column is left free, as
    // a terminal wraps after writing its last one); 0: as it is.
    static QString fitted(const QString& text, int columns);

private:
    int terminalColumns() const;

    std::FILE* m_stream;
    bool m_enabled;
    bool m_drawn = false;
    int m_columns = 0;
    QElapsedTimer m_sinceDraw;
    TimeLeft m_timeLeft;
};

}  // namespace zd
