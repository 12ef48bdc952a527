#pragma once

namespace zd {

// The exit statuses of zipdemographics-cli.
enum ExitStatus : int {
    kExitSuccess = 0,
    kExitIncomplete = 1,     // an entry broke off or its fetch failed; the rest was done
    kExitUsage = 2,          // a usage error or an input that cannot be read; nothing written
    kExitOutputFailed = 3,   // the output could not be written; an existing file is untouched
};

}  // namespace zd
