#pragma once

#include <QString>

namespace zd {

struct CliArguments;
class PackedStrings;

// Appends the ZIP codes of lookup's, export's and map's --near selection, nearest
// first, after the entries read so far. Returns what is wrong in words (an
// unknown ZIP code, no ZIP code within the distance); empty when done or when
// no --near is given.
QString appendNearEntries(const CliArguments& arguments, PackedStrings& entries);

}  // namespace zd
