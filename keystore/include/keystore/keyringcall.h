#pragma once

#include <QString>

#include <chrono>

namespace QKeychain {
class Job;
}

namespace zd {

// What the keyring said to one request.
enum class KeyringOutcome {
    Done,         // read, written or removed
    NotFound,     // it answered, and holds no such entry
    Unavailable,  // no keyring answered, or it refused; `reason` says why
};
struct KeyringAnswer {
    KeyringOutcome outcome = KeyringOutcome::Unavailable;
    QString text;    // what was read
    QString reason;  // why it is unavailable, in words
};

// The desktop's keyring through the Secret Service, one entry by name under the
// program's service name. Each request runs to its end in a local event loop,
// at most `patience` long: a keyring that never answers counts as unavailable,
// and once one has not answered it is not asked again by this object.
class Keyring {
public:
    explicit Keyring(QString service, std::chrono::milliseconds patience = defaultPatience());

    KeyringAnswer read(const QString& name);
    KeyringAnswer write(const QString& name, const QString& text);
    KeyringAnswer remove(const QString& name);

    // 15 s: time enough to unlock the keyring when it asks for its password.
    static std::chrono::milliseconds defaultPatience();

private:
    KeyringAnswer run(QKeychain::Job* job);

    QString m_service;
    std::chrono::milliseconds m_patience;
    QString m_silence;  // set once the keyring has not answered in time
};

}  // namespace zd
