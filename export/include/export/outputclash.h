#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// Why writing the result file at path would destroy what the run reads: one of
// its zip list files (also under another name or through a link), or the cache
// folder or a file inside it. Empty when it would not. "-" (standard input or
// output) clashes with nothing; a device or pipe is written in place, never
// replaced, so it clashes with nothing either.
QString describeOutputClash(const QString& path, const QStringList& inputFiles, const QString& cacheFolder);

}  // namespace zd
