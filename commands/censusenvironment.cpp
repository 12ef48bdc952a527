#include "commands/censusenvironment.h"

#include "census/censussource.h"
#include "commands/censussession.h"

namespace zd {
namespace {

QString readYear(CensusSettings& census)
{
    const QString text = qEnvironmentVariable("ZIPDEMOGRAPHICS_CENSUS_YEAR");
    if (text.isEmpty())
        return {};
    census.year = parseCensusYear(text);
    if (!census.year)
        return "ZIPDEMOGRAPHICS_CENSUS_YEAR expects a year of the ACS 5-year estimates, "
               + QString::number(kOldestCensusYear) + " or later, not \"" + text + "\"";
    return {};
}

QString readAddress(CensusSettings& census)
{
    const QString url = qEnvironmentVariable("ZIPDEMOGRAPHICS_CENSUS_URL");
    if (url.isEmpty())
        return {};
    if (const QString problem = censusUrlProblem(url); !problem.isEmpty())
        return "ZIPDEMOGRAPHICS_CENSUS_URL \"" + url + "\" cannot be the Census API's address: " + problem;
    census.baseUrl = url;
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
    bool ok = false;
    const int retryBaseMs = qEnvironmentVariableIntValue("ZIPDEMOGRAPHICS_RETRY_BASE_MS", &ok);
    if (ok && retryBaseMs >= 0)
        environment.batch.retryBase = std::chrono::milliseconds(retryBaseMs);
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
