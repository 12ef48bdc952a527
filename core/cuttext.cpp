#include "core/cuttext.h"

#include <algorithm>

namespace zd {

const QString kCutMark = QStringLiteral("\u2026 [cut]");

QString cutToLength(const QString& text, qsizetype most)
{
    if (text.size() <= most)
        return text;
    qsizetype kept = std::max<qsizetype>(0, most - kCutMark.size());
    if (kept > 0 && text[kept - 1].isHighSurrogate())
        --kept;
    return text.left(kept) + kCutMark.left(most - kept);
}

}  // namespace zd
