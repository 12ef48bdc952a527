#include "census/censussettingreaders.h"

namespace zd {

SettingReading<DataSource> readSourceSetting(const std::optional<Setting>& option)
{
    const std::optional<Setting> setting = optionOrEnvironment(option, "ZIPDEMOGRAPHICS_SOURCE");
    if (!setting)
        return {DataSource::Site, {}};
    if (const std::optional<DataSource> source = dataSourceNamed(setting->value))
        return {*source, {}};
    return {DataSource::Site, setting->origin + " \"" + setting->value + "\" names no source: it is site or census"};
}

SettingReading<std::optional<int>> readCensusYearSetting(const std::optional<Setting>& option)
{
    const std::optional<Setting> setting = optionOrEnvironment(option, "ZIPDEMOGRAPHICS_CENSUS_YEAR");
    if (!setting)
        return {};
    if (const std::optional<int> year = parseCensusYear(setting->value))
        return {year, {}};
    return {std::nullopt, setting->origin + " expects a year of the ACS 5-year estimates, "
                              + QString::number(kOldestCensusYear) + " or later, not \"" + setting->value + "\""};
}

SettingReading<QString> readCensusUrlSetting(const std::optional<Setting>& option)
{
    const std::optional<Setting> setting = optionOrEnvironment(option, "ZIPDEMOGRAPHICS_CENSUS_URL");
    if (!setting)
        return {builtInCensusUrl(), {}};
    const QString problem = censusUrlProblem(setting->value);
    if (problem.isEmpty())
        return {setting->value, {}};
    return {builtInCensusUrl(),
            setting->origin + " \"" + setting->value + "\" cannot be the Census API's address: " + problem};
}

SettingReading<QString> readCensusKeySetting(const std::optional<QString>& keyFile)
{
    if (!keyFile)
        return {qEnvironmentVariable("CENSUS_API_KEY").trimmed(), {}};
    SettingReading<QString> reading;
    reading.value = readCensusKeyFile(*keyFile, reading.error);
    return reading;
}

QString censusOptionWithSiteSource(const QString& option)
{
    return option + " goes with the census source (--source census)";
}

}  // namespace zd
