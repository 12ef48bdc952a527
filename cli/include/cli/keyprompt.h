#pragma once

#include <QString>

#include <cstdio>

namespace zd {

// The key typed at a prompt: on a terminal, the prompt goes to `prompts` and
// what is typed is not shown (the terminal is put back as it was, also after
// Ctrl+C); otherwise the first line of the input. Trimmed. error says why
// nothing could be read.
QString readKeyFromInput(std::FILE* input, std::FILE* prompts, QString& error);

}  // namespace zd
