#pragma once

#include <QByteArray>
#include <QString>

namespace zd::test {

// A file's bytes; "<unreadable>" when it cannot be read, so that a comparison
// that fails shows why.
QByteArray readWholeFile(const QString& path);

// Makes the bytes the whole of the file. False when that failed.
[[nodiscard]] bool writeWholeFile(const QString& path, const QByteArray& bytes);

}  // namespace zd::test
