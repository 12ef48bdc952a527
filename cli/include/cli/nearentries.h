#pragma once

#include <QString>

namespace zd {

struct CliArguments;
class PackedStrings;
class ZipAreas;

// The areas a run's selections are made over: with the census source those of
// the year's ZCTAs (the newest year's when none is set), so that ZCTAs the place
// table lacks are found too; with the site source the place table's alone.
const ZipAreas& areasOfRun(const CliArguments& arguments);

// Appends the ZIP codes of lookup's, export's and map's --near selection, nearest
// first, after the entries read so far. Returns what is wrong in words (an
// unknown ZIP code, no ZIP code within the distance); empty when done or when
// no --near is given.
QString appendNearEntries(const CliArguments& arguments, PackedStrings& entries);

// With --all-zctas, appends every ZCTA of the year's vintage, by number.
void appendAllZctas(const CliArguments& arguments, PackedStrings& entries);

}  // namespace zd
