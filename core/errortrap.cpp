#include "core/errortrap.h"

#include "core/apperror.h"
#include "core/dialogs.h"
#include "core/siteconfig.h"

#include <new>

namespace zd {

QString composeErrorMessage(const QString& procedureText, int lineNumber,
                            const QString& description)
{
    return description + QStringLiteral("\r\n") + procedureText + QStringLiteral("at line ")
           + QString::number(lineNumber) + QStringLiteral("\r\r")
           + QStringLiteral("Please email screenshot of this message to ") + supportEmail();
}

void ReportError(Dialogs& dialogs, const QString& procedureText, int lineNumber,
                 const QString& description)
{
    dialogs.showMessage(composeErrorMessage(procedureText, lineNumber, description),
                        kMessageExclamation, QStringLiteral("Application Error"));
}

QString describeCurrentException()
{
    try {
        throw;
    } catch (const AppError& error) {
        return error.description();
    } catch (const std::bad_alloc&) {
        return errors::outOfMemory();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unexpected error");
    }
}

ErrorTrap::ErrorTrap(Dialogs& dialogs, QString procedureText)
    : m_dialogs(dialogs), m_procedureText(std::move(procedureText))
{
}

bool ErrorTrap::run(int lineNumber, const std::function<void()>& statement)
{
    try {
        statement();
        return true;
    } catch (...) {
        report(lineNumber, describeCurrentException());
        return false;
    }
}

bool ErrorTrap::test(int lineNumber, const std::function<bool()>& condition)
{
    try {
        return condition();
    } catch (...) {
        report(lineNumber, describeCurrentException());
        return true;
    }
}

void setUpFileDialog(ErrorTrap& trap, int firstLine, FileDialogSettings& dialog,
                     const FileDialogSettings& wanted)
{
    trap.run(firstLine, [&] { dialog.fileName = wanted.fileName; });
    trap.run(firstLine + 2, [&] { dialog.flags = wanted.flags; });
    trap.run(firstLine + 4, [&] { dialog.title = wanted.title; });
    trap.run(firstLine + 6, [&] { dialog.filter = wanted.filter; });
}

void ErrorTrap::report(int lineNumber, const QString& description)
{
    ++m_failures;
    m_lastFailedLine = lineNumber;
    ReportError(m_dialogs, m_procedureText, lineNumber, description);
}

}  // namespace zd
