#pragma once

#include <QString>

namespace zd {

// The rule for a text longer than a format's cell holds (a workbook cell takes
// 32,767 characters): it is cut so that it fits, mark included, and the mark
// says so where the text stops, rather than the whole file failing. A pair of
// surrogates is never split.
extern const QString kCutMark;

QString cutToLength(const QString& text, qsizetype most);

}  // namespace zd
