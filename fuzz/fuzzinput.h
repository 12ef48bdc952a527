#pragma once

#include "core/windows1252.h"

#include <QString>

#include <cstddef>
#include <cstdint>

namespace zd::fuzz {

// Fuzz bytes read the way the program reads pages and files: one character a byte.
inline QString textOf(const uint8_t* data, size_t size)
{
    return decodeWindows1252(
        QByteArrayView(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
}

}  // namespace zd::fuzz
