#pragma once

#include <QString>
#include <exception>

namespace zd {

// The one failure type of the program. It carries the description that the
// "Application Error" box shows, in the words users of such tools know.
class AppError : public std::exception {
public:
    explicit AppError(QString description);
    const QString& description() const { return m_description; }
    const char* what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

namespace errors {
QString subscriptOutOfRange();  // "Subscript out of range"
QString fileNotFound();         // "File not found"
QString permissionDenied();     // "Permission denied"
QString diskFull();             // "Disk full"
QString pathNotFound();         // "Path not found"
QString invalidArgument();      // "Invalid procedure call or argument"
QString outOfMemory();          // "Out of memory"
QString accessError();         // "Path/File access error"
QString deviceError();         // "Device I/O error"
}  // namespace errors

// Throws AppError("Subscript out of range").
[[noreturn]] void throwSubscriptOutOfRange();

}  // namespace zd
