#pragma once

#include <QString>
#include <functional>

namespace zd {

class Dialogs;

// The text of the "Application Error" box: the description, CR LF, the
// procedure text, "at line " and the number, two CRs, the screenshot request.
QString composeErrorMessage(const QString& procedureText, int lineNumber,
                            const QString& description);

// Shows the "Application Error" box (warning icon, OK) and waits for OK.
void ReportError(Dialogs& dialogs, const QString& procedureText, int lineNumber,
                 const QString& description);

// The error trap of a procedure whose statements are numbered from 100 in steps
// of 2. A failure anywhere below a statement, also inside untrapped routines it
// called, comes back here: the box is shown and the procedure goes on with its
// next statement. The trap stays armed for the whole run of the procedure.
class ErrorTrap {
public:
    ErrorTrap(Dialogs& dialogs, QString procedureText);

    // Runs one numbered statement. Returns false when it failed (and was reported).
    bool run(int lineNumber, const std::function<void()>& statement);
    // A numbered test: a failing test resumes inside the step it guards, so it
    // counts as true.
    bool test(int lineNumber, const std::function<bool()>& condition);

    int failureCount() const { return m_failures; }
    int lastFailedLine() const { return m_lastFailedLine; }
    const QString& procedureText() const { return m_procedureText; }

private:
    void report(int lineNumber, const QString& description);

    Dialogs& m_dialogs;
    QString m_procedureText;
    int m_failures = 0;
    int m_lastFailedLine = 0;
};

struct FileDialogSettings;

// The four numbered statements that set up a file dialog (file name, flags, title,
// filter) from firstLine on, as both file commands begin.
void setUpFileDialog(ErrorTrap& trap, int firstLine, FileDialogSettings& dialog,
                     const FileDialogSettings& wanted);

// The description a trap shows for any exception in flight (call only from a catch block).
QString describeCurrentException();

}  // namespace zd
