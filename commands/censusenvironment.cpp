#include "commands/censusenvironment.h"

#include "batch/batchsettings.h"
#include "census/censussettingreaders.h"
#include "commands/censussession.h"
#include "keystore/censuskeystore.h"

namespace zd {
namespace {

const QString kSignUp = QStringLiteral("https://api.census.gov/data/key_signup.html");
const QString kNeedAKey = "The Census Bureau's figures need a Census Data API key. A key is free: " + kSignUp;
const QString kRefused = "The Census Data API refused the key. Check that it is the whole key the Census Bureau "
                         "sent and that it was activated by the link in its e-mail, or enter another. A new key is "
                         "free: " + kSignUp;

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
// store; a stored key that cannot be read leaves the question to the window,
// and what stood in its way (or the warning on its file) is the notice.
QString windowCensusKey(QString& notice)
{
    const QString key = readCensusKeySetting(std::nullopt).value;
    if (!key.isEmpty())
        return key;
    const StoredKey stored = CensusKeyStore().read();
    notice = stored.problem.isEmpty() ? stored.warning : "the stored key cannot be used: " + stored.problem;
    return stored.key;
}

// The question, the answer trimmed.
KeyAnswer askKey(Dialogs& dialogs, const QString& opening)
{
    KeyAnswer answer = dialogs.askForKey(opening + "\r\n\r\nEnter your key:", QStringLiteral("Census Data API key"),
                                         QStringLiteral("Keep the key for the next start"));
    answer.key = answer.key.trimmed();
    return answer;
}

QString firstLetterUpper(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
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
    environment.census.key = windowCensusKey(environment.keyNotice);
    return environment;
}

QString askForCensusKey(Dialogs& dialogs)
{
    const KeyAnswer answer = askKey(dialogs, kNeedAKey);
    const QString problem = answer.key.isEmpty() ? QStringLiteral("No key was entered") : censusKeyProblem(answer.key);
    if (!problem.isEmpty()) {
        showMessageBox(dialogs,
                       firstLetterUpper(problem) + ".\r\n\r\nThe Census Bureau's figures need a key: without one "
                                                   "none can be fetched. Get one at " + kSignUp
                           + ", then start the program again, or set it with \"zipdemographics-cli census-key "
                             "set\".",
                       kMessageExclamation);
        return {};
    }
    if (answer.keep)
        keepKey(dialogs, answer.key);
    return answer.key;
}

void askForMissingCensusKey(Dialogs& dialogs, CensusSession& session)
{
    if (session.settings().key.isEmpty())
        session.setKey(askForCensusKey(dialogs));
}

bool askForAnotherCensusKey(Dialogs& dialogs, CensusSession& session)
{
    QString opening = session.settings().key.isEmpty() ? kNeedAKey : kRefused;
    for (;;) {
        const KeyAnswer answer = askKey(dialogs, opening);
        if (answer.key.isEmpty())
            return false;
        const QString problem = censusKeyProblem(answer.key);
        if (problem.isEmpty()) {
            if (answer.keep)
                keepKey(dialogs, answer.key);
            session.setKey(answer.key);
            return true;
        }
        opening = firstLetterUpper(problem) + '.';
    }
}

}  // namespace zd
