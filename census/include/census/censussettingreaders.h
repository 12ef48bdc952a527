#pragma once

#include "census/censussource.h"
#include "core/setting.h"

#include <QString>

#include <optional>

namespace zd {

// One reader per setting of the source, for the command line and the window
// alike: each takes the option given, if any ("--source"), else reads its
// environment variable when set and not empty, and says in its error what
// cannot be used, naming the setting as the user gave it.

// --source, else ZIPDEMOGRAPHICS_SOURCE: site or census; the site without either.
SettingReading<DataSource> readSourceSetting(const std::optional<Setting>& option);
// --year, else ZIPDEMOGRAPHICS_CENSUS_YEAR: a year of the 5-year estimates (see
// parseCensusYear); none without either, for the newest the API has.
SettingReading<std::optional<int>> readCensusYearSetting(const std::optional<Setting>& option);
// --census-url, else ZIPDEMOGRAPHICS_CENSUS_URL: an address censusUrlProblem
// accepts; the built-in one without either. An address refused is named without
// a user or password it holds ("https://***@host").
SettingReading<QString> readCensusUrlSetting(const std::optional<Setting>& option);
// The key from the key file when one is given (--census-key-file, read by
// readApiKeyFile: one line of a key, warned of when others may read it), else
// CENSUS_API_KEY, trimmed; empty when neither holds one (the stored key may
// then stand in). The key itself is never in the error or the warning.
struct CensusKeyReading : SettingReading<QString> {
    QString warning;
};
CensusKeyReading readCensusKeySetting(const std::optional<QString>& keyFile);

// The refusal of a census option given with the site source:
// "--year goes with the census source (--source census)".
QString censusOptionWithSiteSource(const QString& option);

}  // namespace zd
