#pragma once

#include <QString>

#include <optional>

namespace zd {

// Where the figures come from: the demographics site's pages, or the Census
// Bureau's Data API.
enum class DataSource { Site, Census };

// "site" or "census".
std::optional<DataSource> dataSourceNamed(const QString& name);

// The API's address unless --census-url or ZIPDEMOGRAPHICS_CENSUS_URL says otherwise.
QString builtInCensusUrl();
// Why the text cannot be the API's address: it must be https://HOST[:PORT], or
// http:// for a loopback address (127.0.0.1, [::1], localhost), without a path
// beyond "/". Empty when it can.
QString censusUrlProblem(const QString& url);

// The newest 5-year vintage the program knows of; a year the API does not have
// yet sends it one year back, twice at most.
constexpr int kNewestCensusYear = 2024;
constexpr int kOldestCensusYear = 2009;  // the first 5-year release
constexpr int kCensusYearStepsBack = 2;
// "--year": a year from the first 5-year release on; nothing otherwise.
std::optional<int> parseCensusYear(const QString& text);

// What the Census Bureau's terms ask an application to say.
QString censusNotice();

}  // namespace zd
