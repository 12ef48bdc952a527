#include "commands/censusenvironment.h"

#include "batch/batchsettings.h"
#include "census/censussource.h"
#include "commands/censussession.h"
#include "keystore/censuskeystore.h"

namespace zd {
namespace {

const QString kSignUp = QStringLiteral("https://api.census.gov/data/key_signup.html");

QString readYear(CensusSettings& census, const WindowSourceOptions& options)
{
    const std::optional<SourceSetting> year =
        options.year ? options.year : environmentSetting("ZIPDEMOGRAPHICS_CENSUS_YEAR");
    if (!year)
        return {};
    if (const QString error = censusYearSettingError(*year); !error.isEmpty())
        return error;
    census.year = parseCensusYear(year->value);
    return {};
}

QString readAddress(CensusSettings& census, const WindowSourceOptions&)
{
    const std::optional<SourceSetting> url = environmentSetting("ZIPDEMOGRAPHICS_CENSUS_URL");
    if (!url)
        return {};
    if (const QString error = censusUrlSettingError(*url); !error.isEmpty())
        return error;
    census.baseUrl = url->value;
    return {};
}

// The source chosen, or why the choice cannot be used.
struct ChosenSource {
    DataSource source = DataSource::Site;
    QString error;
};

ChosenSource chosenSource(const WindowSourceOptions& options)
{
    const std::optional<SourceSetting> setting = options.source ? options.source : environmentSourceSetting();
    if (!setting)
        return {};
    if (const QString error = sourceSettingError(*setting); !error.isEmpty())
        return {DataSource::Site, error};
    return {*dataSourceNamed(setting->value), {}};
}

bool refuse(Dialogs& dialogs, const QString& error, std::FILE* errorStream)
{
    if (errorStream) {
        std::fprintf(errorStream, "zipdemographics: %s\n", error.toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs, error + ".\r\n\r\nCorrect or remove it, then start the program again.",
                   kMessageExclamation);
    return false;
}

void keepKey(Dialogs& dialogs, const QString& key)
{
    CensusKeyStore store;
    const KeyChange change = store.store(key);
    if (!change.ok) {
        showMessageBox(dialogs,
                       "The key could not be kept: " + change.error
                           + ".\r\n\r\nIt is used until the program ends.",
                       kMessageExclamation);
    } else if (change.place == KeyPlace::File) {
        showMessageBox(dialogs, "No keyring answered (" + change.keyringSilence + "), so the key is kept in "
                                    + store.describe(KeyPlace::File) + ", which only you can read.");
    }
}

}  // namespace

CensusEnvironment readCensusEnvironment(const WindowSourceOptions& options)
{
    CensusEnvironment environment;
    takeRetryBaseFromEnvironment(environment.batch);
    for (const auto reader : {readAddress, readYear}) {
        environment.error = reader(environment.census, options);
        if (!environment.error.isEmpty())
            return environment;
    }
    environment.census.key = environmentOrStoredCensusKey();
    return environment;
}

QString askForCensusKey(Dialogs& dialogs)
{
    const KeyAnswer answer = dialogs.askForKey(
        "The Census Bureau's figures need a Census Data API key. A key is free: " + kSignUp
            + "\r\n\r\nEnter your key:",
        QStringLiteral("Census Data API key"), QStringLiteral("Keep the key for the next start"));
    const QString key = answer.key.trimmed();
    QString problem = censusKeyProblem(key);
    if (key.isEmpty())
        problem = QStringLiteral("No key was entered");
    if (!problem.isEmpty()) {
        problem[0] = problem[0].toUpper();
        showMessageBox(dialogs,
                       problem + ".\r\n\r\nThe Census Bureau's figures need a key: without one none can be "
                                 "fetched. Get one at " + kSignUp
                           + ", then start the program again, or set it with \"zipdemographics-cli census-key "
                             "set\".",
                       kMessageExclamation);
        return {};
    }
    if (answer.keep)
        keepKey(dialogs, key);
    return key;
}

void askForMissingCensusKey(Dialogs& dialogs, CensusSession& session)
{
    if (session.settings().key.isEmpty())
        session.setKey(askForCensusKey(dialogs));
}

bool confirmUsableCensusSettings(Dialogs& dialogs, std::shared_ptr<CensusSession>& session, std::FILE* errorStream,
                                 const WindowSourceOptions& options)
{
    const ChosenSource chosen = chosenSource(options);
    if (!chosen.error.isEmpty())
        return refuse(dialogs, chosen.error, errorStream);
    if (chosen.source != DataSource::Census) {
        if (options.year)
            return refuse(dialogs, QStringLiteral("--year goes with the census source (--source census)"),
                          errorStream);
        return true;
    }
    const CensusEnvironment environment = readCensusEnvironment(options);
    if (!environment.error.isEmpty())
        return refuse(dialogs, environment.error, errorStream);
    session = std::make_shared<CensusSession>(environment.census, environment.batch);
    return true;
}

}  // namespace zd
