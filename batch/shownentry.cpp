#include "batch/shownentry.h"

namespace zd {
namespace {
constexpr qsizetype kLongestShown = 64;
}

QString shownEntry(const QString& entry)
{
    if (entry.size() <= kLongestShown)
        return '"' + entry + '"';
    return '"' + entry.left(kLongestShown) + QStringLiteral("\u2026\"");
}

}  // namespace zd
