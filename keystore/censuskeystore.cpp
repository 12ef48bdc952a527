#include "keystore/censuskeystore.h"

namespace zd {
namespace {

const QString kService = QStringLiteral("zipdemographics");
const QString kEntry = QStringLiteral("census-api-key");

}  // namespace

CensusKeyStore::CensusKeyStore(QString keyFilePath, std::chrono::milliseconds keyringPatience)
    : m_keyring(kService, keyringPatience), m_file(std::move(keyFilePath))
{
}

StoredKey CensusKeyStore::read()
{
    StoredKey stored;
    const KeyringAnswer answer = m_keyring.read(kEntry);
    if (answer.outcome == KeyringOutcome::Done && !answer.text.trimmed().isEmpty()) {
        stored.key = answer.text.trimmed();
        stored.place = KeyPlace::Keyring;
        return stored;
    }
    stored.keyringSilence = answer.reason;
    const ApiKeyFileReading file = m_file.read();
    stored.key = file.key;
    stored.problem = file.error;
    stored.warning = file.warning;
    if (!stored.key.isEmpty())
        stored.place = KeyPlace::File;
    return stored;
}

KeyChange CensusKeyStore::store(const QString& key)
{
    KeyChange change;
    const KeyringAnswer answer = m_keyring.write(kEntry, key);
    if (answer.outcome == KeyringOutcome::Done) {
        // One place only: a key kept in the file while no keyring answered goes.
        change.ok = m_file.remove(change.removedFile, change.error);
        change.place = KeyPlace::Keyring;
        return change;
    }
    change.keyringSilence = answer.reason;
    change.ok = m_file.write(key, change.error);
    change.place = change.ok ? KeyPlace::File : KeyPlace::Nowhere;
    return change;
}

KeyChange CensusKeyStore::clear()
{
    KeyChange change;
    // The Secret Service reports a removal as done whether or not there was an
    // entry: it is looked up first, so that the user is told the truth.
    KeyringAnswer answer = m_keyring.read(kEntry);
    if (answer.outcome == KeyringOutcome::Done) {
        answer = m_keyring.remove(kEntry);
        change.removedFromKeyring = answer.outcome == KeyringOutcome::Done;
    }
    change.keyringSilence = answer.reason;
    change.ok = m_file.remove(change.removedFile, change.error);
    return change;
}

QString CensusKeyStore::describe(KeyPlace place) const
{
    switch (place) {
    case KeyPlace::Keyring: return QStringLiteral("the desktop's keyring (Secret Service)");
    case KeyPlace::File: return "the file \"" + m_file.path() + "\"";
    case KeyPlace::Nowhere: break;
    }
    return QStringLiteral("nowhere");
}

QString censusKeyProblem(const QString& key) { return apiKeyProblem(key); }

}  // namespace zd
