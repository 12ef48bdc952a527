// A value of an answer's row read as a number: never an annotation, never more
// than one finite number, the same number Qt's own reading gives, and every
// plain decimal that is a finite number is read.
#include "census/censusanswer.h"

#include <cmath>
#include <cstdlib>

namespace {
void require(bool holds)
{
    if (!holds)
        std::abort();
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray value(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<double> number = zd::censusNumber(value);
    const QByteArray trimmed = value.trimmed();
    bool readable = false;
    const double reference = trimmed.toDouble(&readable);
    const bool annotation = zd::isCensusAnnotation(QString::fromLatin1(value));
    if (number) {
        require(std::isfinite(*number) && !annotation);
        require(readable && *number == reference);
    }
    if (zd::isPlainDecimal(QString::fromLatin1(trimmed)) && !annotation && readable && std::isfinite(reference))
        require(number.has_value());
    return 0;
}
