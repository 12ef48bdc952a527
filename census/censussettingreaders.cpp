#include "census/censussettingreaders.h"

#include "core/apikeyfile.h"

namespace zd {
namespace {

// The address as it may be shown: what stands between its "scheme://" (or its
// start) and its last "@", a user and a password, is starred. Everything up to
// the last "@" goes, since a password may hold "/" or "@" itself.
QString addressWithoutUserInfo(QString address)
{
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'));
    if (at < 0)
        return address;
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    const qsizetype start = schemeEnd >= 0 && schemeEnd < at ? schemeEnd + 3 : 0;
    return address.replace(start, at - start, QStringLiteral("***"));
}

}  // namespace

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
    return {builtInCensusUrl(), setting->origin + " \"" + addressWithoutUserInfo(setting->value)
                                    + "\" cannot be the Census API's address: " + problem};
}

CensusKeyReading readCensusKeySetting(const std::optional<QString>& keyFile)
{
    CensusKeyReading reading;
    if (!keyFile) {
        reading.value = qEnvironmentVariable("CENSUS_API_KEY").trimmed();
        return reading;
    }
    const ApiKeyFileReading file = readApiKeyFile(*keyFile);
    reading.value = file.key;
    reading.error = file.error;
    reading.warning = file.warning;
    return reading;
}

QString censusOptionWithSiteSource(const QString& option)
{
    return option + " goes with the census source (--source census)";
}

}  // namespace zd
