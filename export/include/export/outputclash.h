#pragma once

#include <QList>
#include <QString>

namespace zd {

// A file that a run reads, and what it is to the run: "the zip list", "the key file".
struct RunInput {
    QString path;
    QString role;
};

// Why writing the result file at path would destroy what the run reads: one of
// its input files (also under another name or through a link), or the cache
// folder or a file inside it; said of the path ("it is the zip list that the run
// reads; ..."). Empty when it would not. "-" (standard input or output) clashes
// with nothing; a device or pipe is written in place, never replaced, so it
// clashes with nothing either.
QString describeOutputClash(const QString& path, const QList<RunInput>& inputs, const QString& cacheFolder);

}  // namespace zd
