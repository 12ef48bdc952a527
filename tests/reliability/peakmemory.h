#pragma once

#include <QtGlobal>

namespace zd::test {

// The resident memory of this process as the kernel counts it. The peak can be
// reset, so that a test sees the peak of one operation alone.
qint64 residentBytes();
// Whether the peak can be measured and means what it says: the kernel reports
// it, and no sanitizer's allocator (which copies on every reallocation and keeps
// freed blocks for a while) stands in between.
bool peakIsMeaningful();
qint64 peakResidentBytes();
bool resetPeakResident();

}  // namespace zd::test
