#pragma once

#include "tests/support/childprocess.h"

#include <QStringList>

namespace zd::test {

// zipdemographics-cli run as a user runs it (see runChild): no proxy and no site
// from the environment unless the options give them.
ChildRun runCli(const QStringList& arguments, const ChildOptions& options = {});
// Several runs of it at once, each with its own arguments (see runChildrenAtOnce).
QList<ChildRun> runCliAtOnce(const QList<QStringList>& argumentLists, const ChildOptions& options = {});

}  // namespace zd::test
