#include "commands/censusenvironment.h"

#include "batch/batchsettings.h"
#include "census/censussettingreaders.h"
#include "commands/censussession.h"
#include "keystore/censuskeystore.h"

namespace zd {
namespace {

const QString kSignUp = QStringLiteral("https://api.census.gov/data/key_signup.html");

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

// The key of the window's run: CENSUS_API_KEY, else the one kept by the key
// store; a stored key that cannot be read leaves the question to the window.
QString windowCensusKey()
{
    const QString key = readCensusKeySetting(std::nullopt).value;
    return key.isEmpty() ? CensusKeyStore().read().key : key;
}

}  // namespace

CensusEnvironment readCensusEnvironment(const std::optional<Setting>& yearOption)
{
    CensusEnvironment environment;
    takeRetryBaseFromEnvironment(environment.batch);
    const SettingReading<QString> url = readCensusUrlSetting(std::nullopt);
    const SettingReading<std::optional<int>> year = readCensusYearSetting(yearOption);
    environment.error = !url.error.isEmpty() ? url.error : year.error;
    if (!environment.error.isEmpty())
        return environment;
    environment.census.baseUrl = url.value;
    environment.census.year = year.value;
    environment.census.key = windowCensusKey();
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

}  // namespace zd
