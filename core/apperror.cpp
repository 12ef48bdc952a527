#include "core/apperror.h"

namespace zd {

AppError::AppError(QString description)
    : m_description(std::move(description)), m_utf8(m_description.toUtf8())
{
}

namespace errors {
QString subscriptOutOfRange() { return QStringLiteral("Subscript out of range"); }
QString fileNotFound() { return QStringLiteral("File not found"); }
QString permissionDenied() { return QStringLiteral("Permission denied"); }
QString diskFull() { return QStringLiteral("Disk full"); }
QString pathNotFound() { return QStringLiteral("Path not found"); }
QString invalidArgument() { return QStringLiteral("Invalid procedure call or argument"); }
QString outOfMemory() { return QStringLiteral("Out of memory"); }
QString accessError() { return QStringLiteral("Path/File access error"); }
QString deviceError() { return QStringLiteral("Device I/O error"); }
}  // namespace errors

void throwSubscriptOutOfRange()
{
    throw AppError(errors::subscriptOutOfRange());
}

}  // namespace zd
