#pragma once

#include <QString>
#include <QStringList>

namespace zd {

// The first `shown` of a count of entries, each already named as its message
// names it, joined by ", ", and " and M more" for the rest: the one way a run's
// summary and the window's save name a long run of entries without listing them all.
QString firstEntriesAndMore(const QStringList& named, qsizetype count, qsizetype shown);

}  // namespace zd
