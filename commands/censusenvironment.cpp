#include "commands/censusenvironment.h"

#include "batch/batchsettings.h"
#include "census/censussource.h"
#include "commands/censussession.h"

namespace zd {
namespace {

QString readYear(CensusSettings& census)
{
    const std::optional<SourceSetting> year = environmentSetting("ZIPDEMOGRAPHICS_CENSUS_YEAR");
    if (!year)
        return {};
    if (const QString error = censusYearSettingError(*year); !error.isEmpty())
        return error;
    census.year = parseCensusYear(year->value);
    return {};
}

QString readAddress(CensusSettings& census)
{
    const std::optional<SourceSetting> url = environmentSetting("ZIPDEMOGRAPHICS_CENSUS_URL");
    if (!url)
        return {};
    if (const QString error = censusUrlSettingError(*url); !error.isEmpty())
        return error;
    census.baseUrl = url->value;
    return {};
}

bool usesCensusSource()
{
    const std::optional<SourceSetting> setting = environmentSourceSetting();
    return setting && dataSourceNamed(setting->value) == DataSource::Census;
}

}  // namespace

CensusEnvironment readCensusEnvironment()
{
    CensusEnvironment environment;
    environment.census.key = qEnvironmentVariable("CENSUS_API_KEY").trimmed();
    takeRetryBaseFromEnvironment(environment.batch);
    for (const auto reader : {readAddress, readYear}) {
        environment.error = reader(environment.census);
        if (!environment.error.isEmpty())
            break;
    }
    return environment;
}

bool confirmUsableCensusSettings(Dialogs& dialogs, std::shared_ptr<CensusSession>& session, std::FILE* errorStream)
{
    if (!usesCensusSource())
        return true;
    const CensusEnvironment environment = readCensusEnvironment();
    if (environment.error.isEmpty()) {
        session = std::make_shared<CensusSession>(environment.census, environment.batch);
        return true;
    }
    if (errorStream) {
        std::fprintf(errorStream, "zipdemographics: %s\n", environment.error.toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs, environment.error + ".\r\n\r\nCorrect or remove it, then start the program again.",
                   kMessageExclamation);
    return false;
}

}  // namespace zd
