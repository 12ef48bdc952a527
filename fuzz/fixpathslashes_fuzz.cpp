// Path repair: only backslashes are removed or added, a leading run of them
// becomes exactly two, and a path without backslashes comes back unchanged.
#include "core/sharedroutines.h"
#include "core/windows1252.h"

#include <cstdint>
#include <cstdlib>

namespace {
QString withoutBackslashes(QString text)
{
    return text.remove(QLatin1Char('\\'));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path = zd::decodeWindows1252(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QString fixed = zd::FixPathSlashes(path);
    if (withoutBackslashes(fixed) != withoutBackslashes(path))
        std::abort();
    if (fixed.size() > path.size() + 1)
        std::abort();
    if (path.startsWith(QLatin1Char('\\')) && !fixed.startsWith(QStringLiteral("\\\\")))
        std::abort();
    if (!path.contains(QLatin1Char('\\')) && fixed != path)
        std::abort();
    return 0;
}
