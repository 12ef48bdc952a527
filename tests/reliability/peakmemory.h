#pragma once

#include <QtGlobal>

namespace zd::test {

// The resident memory of this process as the kernel counts it. The peak can be
// reset, so that a test sees the peak of one operation alone.
qint64 residentBytes();
qint64 peakResidentBytes();
bool resetPeakResident();

}  // namespace zd::test
