// The code page round trip: any bytes decode to one character each and encode
// back to the same bytes; any text encodes to one byte per code unit.
#include "core/windows1252.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString text = zd::decodeWindows1252(bytes);
    if (text.size() != bytes.size() || zd::encodeWindows1252(text) != bytes)
        std::abort();
    // The same bytes read as UTF-16 text: every code unit gives exactly one byte.
    const QStringView units(reinterpret_cast<const char16_t*>(data), static_cast<qsizetype>(size / 2));
    if (zd::encodeWindows1252(units).size() != units.size())
        std::abort();
    return 0;
}
