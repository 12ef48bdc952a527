#pragma once

#include "batch/pagebatch.h"

#include <QElapsedTimer>

#include <cstdio>

namespace zd {

// The one-line progress display of a batch on standard error: done/total,
// failures, requests per second and the time left, redrawn at most ten times
// a second and cleared at the end. Shown only when the stream is a terminal.
class ProgressLine {
public:
    ProgressLine(std::FILE* stream, bool wanted);
    ~ProgressLine();

    void show(const BatchProgress& progress);
    // Removes the line, so that what follows starts on a clean line.
    void clear();

    static QString describe(const BatchProgress& progress);

private:
    std::FILE* m_stream;
    bool m_enabled;
    bool m_drawn = false;
    QElapsedTimer m_sinceDraw;
};

}  // namespace zd
