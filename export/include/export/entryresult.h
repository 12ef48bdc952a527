#pragma once

#include "export/resultstable.h"

namespace zd {

struct FetchOutcome;

// One entry's results cut out of its page, fetched once with the entry untrimmed
// in the address: the same location name, figures and household income rows that
// the aligned file gets for the entry (no name for an empty entry; the income rows
// only when the figures are whole), and its status.
EntryResult entryResult(const QString& entry, const FetchOutcome& fetched);

}  // namespace zd
