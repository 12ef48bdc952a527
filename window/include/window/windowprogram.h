#pragma once

namespace zd {

// The desktop program from its arguments to its exit status: --version without
// a display, else the window on the site setting in force (Qt takes its own
// options, -platform and the like).
int runWindowProgram(int argc, char** argv);

}  // namespace zd
