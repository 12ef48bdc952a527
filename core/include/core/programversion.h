#pragma once

#include <QString>

namespace zd {

// The program's version, as the build names it (the project version in CMake).
// Every executable answers --version with it.
QString programVersion();

}  // namespace zd
