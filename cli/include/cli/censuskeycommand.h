#pragma once

#include <QStringList>

#include <cstdio>

namespace zd {

class Console;

// "census-key set|status|clear": keeps the Census Data API key in the desktop's
// keyring, or in a private file where no keyring answers, tells where the census
// source's key comes from (never the key), and removes a stored one. The key to
// set is read from `input` (see readKeyFromInput). Returns the exit status.
int runCensusKeyCommand(const QStringList& arguments, Console& console, std::FILE* input = stdin);

// The command's --help.
QString censusKeyHelpText();

}  // namespace zd
