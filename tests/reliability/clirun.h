#pragma once

#include "tests/support/childprocess.h"

#include <QString>
#include <QStringList>

namespace zd::test {

struct CliRunOptions {
    QList<EnvironmentChange> environment;
    QString standardOutputFile;       // empty: standard output is collected in the result
    bool asUnprivilegedUser = false;  // run as "nobody", so that file permissions apply to root too
};

// zipdemographics-cli run as a user runs it, with no proxy and no site from the
// environment unless given.
ChildRun runCli(const QStringList& arguments, const CliRunOptions& options = {});

// The user id a child runs as when asked to run unprivileged.
constexpr unsigned kNobody = 65534;

}  // namespace zd::test
