#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class QProcess;

namespace zd::test {

struct EnvironmentChange {
    QString name;
    std::optional<QString> value;  // nothing: removed
};

// How a child is run: what its environment changes, where its standard output
// goes, as whom it runs and how long it may take.
struct ChildOptions {
    QList<EnvironmentChange> environment{};
    QString standardOutputFile{};     // empty: standard output is collected in the result
    bool asUnprivilegedUser = false;  // as "nobody", so that file permissions apply to root too
    int timeoutMs = 60000;            // then it is killed
};

// How a program run as a user would run it ended.
struct ChildRun {
    int exitCode = -1;
    bool exitedNormally = false;  // false also when it did not start or was killed
    QByteArray out;
    QByteArray err;
    double seconds = 0;
};

// The environment of a child: this process's, without proxies and without
// ZIPDEMOGRAPHICS_SITE, with retries backing off from 1 ms, then the given changes.
QProcessEnvironment childEnvironment(const QList<EnvironmentChange>& changes = {});

// A child on its way: started at construction with standard input empty, in
// childEnvironment() with the options' changes; finish() waits for its end (at
// most the rest of its time-out, then kills it) and gives what it printed. For
// tests that act on a child while it runs; the others use runChild.
class ChildProcess {
public:
    ChildProcess(const QString& program, const QStringList& arguments, const ChildOptions& options = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started();  // waits until it has started; false when it could not
    qint64 processId() const;
    ChildRun finish();

private:
    class ReachableCopy;
    ChildOptions m_options;
    std::unique_ptr<ReachableCopy> m_copy;
    std::unique_ptr<QProcess> m_process;
    QElapsedTimer m_clock;
};

// Runs the program to its end (see ChildProcess).
ChildRun runChild(const QString& program, const QStringList& arguments, const ChildOptions& options = {});

// Runs each program at once and gives their ends in the same order; for tests
// whose runs are independent and each slow.
struct ChildCommand {
    QString program;
    QStringList arguments;
    ChildOptions options;
};
QList<ChildRun> runChildrenAtOnce(const QList<ChildCommand>& commands);

}  // namespace zd::test
