#pragma once

#include <QStringList>

namespace zd {

class Console;

// Runs zipdemographics-cli with the arguments that follow the program name and
// returns its exit status.
int runCli(const QStringList& arguments, Console& console);

}  // namespace zd
