#pragma once

#include <QString>

namespace zd {

// An API key as typed or read: one word of printable ASCII (no space, no
// control character), at most kLongestApiKey characters. The Census Bureau's
// keys are 40 hexadecimal digits.
inline constexpr qsizetype kLongestApiKey = 256;

// Why the text cannot be a key (empty, too long, a space or another character
// no key holds); empty when it can. The text itself is never in it.
QString apiKeyProblem(const QString& key);

// A key file read: its key, or why it cannot be used; and a warning when others
// may read it.
struct ApiKeyFileReading {
    QString key;      // empty when there is no usable key
    bool missing = false;  // there is no such file (error says so too)
    QString error;    // names the file and what is wrong with it; never its content
    QString warning;  // others may read or change the file: how to make it private
};

// The key alone on the file's first line (surrounding spaces and blank lines
// after it are let pass). Refused: what is not a regular file (a pipe or a
// device is not waited on), a file longer than a few KB (not read whole), a
// second line with text, a key apiKeyProblem refuses. A file whose mode lets its
// group or others in is used, with a warning that says how to fix it.
ApiKeyFileReading readApiKeyFile(const QString& path);

}  // namespace zd
