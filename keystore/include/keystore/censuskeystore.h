#pragma once

#include "keystore/keyfile.h"
#include "keystore/keyringcall.h"

#include <QString>

namespace zd {

// Where a stored key is kept.
enum class KeyPlace { Nowhere, Keyring, File };

// The stored key, where it was found, and what stood in the way: a key file
// that cannot be read, or the keyring's silence when the file had none.
struct StoredKey {
    QString key;
    KeyPlace place = KeyPlace::Nowhere;
    QString problem;
    QString warning;         // the key file may be read by others, and how to fix that
    QString keyringSilence;  // why the keyring was not asked or did not answer; empty when it did
};

// What a change of the stored key came to.
struct KeyChange {
    bool ok = false;
    KeyPlace place = KeyPlace::Nowhere;  // set: where it went; clear: where one was removed (File or Keyring)
    bool removedFromKeyring = false;
    bool removedFile = false;
    QString keyringSilence;              // why the keyring could not take part
    QString error;                       // why it failed; never the key
};

// The user's Census Data API key between runs: in the desktop's keyring
// (Secret Service) where one answers, else in a private file (KeyFile).
class CensusKeyStore {
public:
    CensusKeyStore(QString keyFilePath = KeyFile::defaultPath(),
                   std::chrono::milliseconds keyringPatience = Keyring::defaultPatience());

    // The keyring's entry, else the file's.
    StoredKey read();
    // Into the keyring, removing a file kept before; into the file when no
    // keyring answers.
    KeyChange store(const QString& key);
    // From the keyring and the file alike.
    KeyChange clear();

    const QString& keyFilePath() const { return m_file.path(); }
    // "the desktop's keyring (Secret Service)", or the file's path in quotes.
    QString describe(KeyPlace place) const;

private:
    Keyring m_keyring;
    KeyFile m_file;
};

// A key as typed or read: why it cannot be a key (see apiKeyProblem); empty
// when it can.
QString censusKeyProblem(const QString& key);

}  // namespace zd
