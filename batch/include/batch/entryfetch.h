#pragma once

#include "retrieval/demographicsrows.h"
#include "retrieval/pagefetch.h"

#include <QString>
#include <QStringList>

namespace zd {

// Why an entry is incomplete, from its fetch and the part of its page that broke
// off; empty when it is whole.
QStringList entryProblems(const FetchOutcome& fetched, std::optional<PagePart> broken);

}  // namespace zd
