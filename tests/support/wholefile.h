#pragma once

#include <QByteArray>
#include <QString>

namespace zd::test {

// A file's bytes; "<unreadable>" when it cannot be read, so that a comparison
// that fails shows why.
QByteArray readWholeFile(const QString& path);

// Makes the bytes the whole of the file. False when that failed.
[[nodiscard]] bool writeWholeFile(const QString& path, const QByteArray& bytes);

// A file holding "precious" in a folder nobody may write to, made as
// parent/readonly/fileName; the parent is opened to everyone so that an
// unprivileged user reaches the file. Its path; empty when it could not be made.
QString preciousFileInReadOnlyFolder(const QString& parent, const QString& fileName);

}  // namespace zd::test
