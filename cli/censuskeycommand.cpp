#include "cli/censuskeycommand.h"

#include "batch/exitstatus.h"
#include "cli/console.h"
#include "cli/keyprompt.h"
#include "keystore/censuskeystore.h"

namespace zd {
namespace {

const QString kSignUp = QStringLiteral("https://api.census.gov/data/key_signup.html");

int usage(Console& console, const QString& message)
{
    console.printError(message);
    console.printError(QStringLiteral("Try \"zipdemographics-cli census-key --help\"."));
    return kExitUsage;
}

int finish(Console& console, const QString& text, int status = kExitSuccess)
{
    console.print(text);
    if (console.outputFailed()) {
        console.printError(QStringLiteral("cannot write to standard output"));
        return kExitOutputFailed;
    }
    return status;
}

QString keyringNote(const QString& silence)
{
    return silence.isEmpty() ? QString() : " (no keyring answered: " + silence + ")";
}

int setKey(Console& console, std::FILE* input)
{
    QString error;
    const QString key = readKeyFromInput(input, console.errorStream(), error);
    if (error.isEmpty())
        error = censusKeyProblem(key);
    if (!error.isEmpty()) {
        console.printError(error + "; nothing was stored");
        return kExitUsage;
    }
    CensusKeyStore store;
    const KeyChange change = store.store(key);
    if (!change.ok) {
        console.printError("cannot store the key" + keyringNote(change.keyringSilence) + ": " + change.error);
        return kExitOutputFailed;
    }
    if (change.place == KeyPlace::Keyring)
        return finish(console, "The key is stored in " + store.describe(KeyPlace::Keyring) + ".\n");
    return finish(console, "The key is stored in " + store.describe(KeyPlace::File)
                               + ", which only you can read" + keyringNote(change.keyringSilence) + ".\n");
}

QString storedKeyLine(CensusKeyStore& store, const StoredKey& stored)
{
    if (stored.place != KeyPlace::Nowhere)
        return "A key is stored in " + store.describe(stored.place) + ".";
    if (!stored.problem.isEmpty())
        return "The stored key cannot be used: " + stored.problem + ".";
    return "No key is stored" + keyringNote(stored.keyringSilence) + ".";
}

int showStatus(Console& console)
{
    CensusKeyStore store;
    const StoredKey stored = store.read();
    const bool fromEnvironment = !qEnvironmentVariable("CENSUS_API_KEY").trimmed().isEmpty();
    QString text;
    if (fromEnvironment)
        text = "The census source uses the key of CENSUS_API_KEY; a --census-key-file would come first.\n";
    else if (stored.place != KeyPlace::Nowhere)
        text = "The census source uses the key stored in " + store.describe(stored.place)
               + "; a --census-key-file or CENSUS_API_KEY would come first.\n";
    else
        text = "The census source has no key: neither CENSUS_API_KEY nor a stored one. Get one at " + kSignUp
               + ", then run \"zipdemographics-cli census-key set\" or set CENSUS_API_KEY.\n";
    if (fromEnvironment || stored.place == KeyPlace::Nowhere)
        text += storedKeyLine(store, stored) + '\n';
    if (!stored.warning.isEmpty())
        console.printError("warning: " + stored.warning);
    return finish(console, text, fromEnvironment || stored.place != KeyPlace::Nowhere ? kExitSuccess
                                                                                      : kExitIncomplete);
}

int clearKey(Console& console)
{
    CensusKeyStore store;
    const KeyChange change = store.clear();
    QStringList removed;
    if (change.removedFromKeyring)
        removed.append(store.describe(KeyPlace::Keyring));
    if (change.removedFile)
        removed.append(store.describe(KeyPlace::File));
    QString text = removed.isEmpty() ? QStringLiteral("No key was stored.\n")
                                     : "The key was removed from " + removed.join(" and ") + ".\n";
    if (!change.keyringSilence.isEmpty())
        text += "The keyring could not be asked (" + change.keyringSilence
                + "); a key kept there, if any, is still there.\n";
    if (!change.ok) {
        console.print(text);
        console.printError("cannot remove the stored key: " + change.error);
        return kExitOutputFailed;
    }
    return finish(console, text);
}

}  // namespace

QString censusKeyHelpText()
{
    return QStringLiteral(
R"(Usage:
  zipdemographics-cli census-key set | status | clear

Keeps the Census Data API key of the census source (--source census), so that
neither CENSUS_API_KEY nor --census-key-file is needed. A key is free:
)") + kSignUp + QStringLiteral(R"(

  set     reads the key (on a terminal without showing it, else the first line
          of standard input) and stores it in the desktop's keyring through the
          Secret Service; where no keyring answers, in the file
          $XDG_CONFIG_HOME/zipdemographics/census-api-key (~/.config/... by
          default, or when it is not an absolute path), which only you can
          read. Says which.
  status  tells where the census source's key comes from; never the key.
          Status 1 when there is none.
  clear   removes the stored key from the keyring and the file.

The census source takes the first key of: --census-key-file FILE,
CENSUS_API_KEY, the stored key. The desktop program does the same, and asks
for a key when it has none.
)");
}

int runCensusKeyCommand(const QStringList& arguments, Console& console, std::FILE* input)
{
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h" || arguments[0] == "help"))
        return finish(console, censusKeyHelpText());
    if (arguments.size() != 1)
        return usage(console, QStringLiteral("census-key takes one of set, status and clear"));
    const QString& action = arguments[0];
    if (action == "set")
        return setKey(console, input);
    if (action == "status")
        return showStatus(console);
    if (action == "clear")
        return clearKey(console);
    return usage(console, "census-key takes set, status or clear, not \"" + action + "\"");
}

}  // namespace zd
