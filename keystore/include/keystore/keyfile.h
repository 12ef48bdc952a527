#pragma once

#include "core/apikeyfile.h"

#include <QString>

namespace zd {

// The key kept in a file of its own when no keyring answers: one line, in a
// folder only its owner may enter (0700), the file only its owner may read or
// write (0600). The file is replaced whole: a new one is written beside it and
// renamed over it, so it never holds half a key.
class KeyFile {
public:
    explicit KeyFile(QString path) : m_path(std::move(path)) {}

    // $XDG_CONFIG_HOME/zipdemographics/census-api-key (~/.config/... without it,
    // or when it is not an absolute path).
    static QString defaultPath();

    const QString& path() const { return m_path; }

    // The key on its first line (see readApiKeyFile); no key and no error when
    // there is no file.
    ApiKeyFileReading read() const;
    // Writes the key; false with the reason in error. The key is never in it.
    bool write(const QString& key, QString& error) const;
    // Removes the file; `removed` tells whether there was one.
    bool remove(bool& removed, QString& error) const;

private:
    QString m_path;
};

}  // namespace zd
