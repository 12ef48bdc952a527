#pragma once

#include <functional>

namespace zd {

// A file being written that has not yet taken its place: while it lives, ending
// the program abandons it first. The program may end at once from inside a
// command's pump, with such a file open further down the stack; without this its
// temporary file would stay behind.
class UnfinishedFile {
public:
    // abandon removes what was written so far; it is called at most once.
    explicit UnfinishedFile(std::function<void()> abandon);
    ~UnfinishedFile();
    UnfinishedFile(const UnfinishedFile&) = delete;
    UnfinishedFile& operator=(const UnfinishedFile&) = delete;

private:
    friend void abandonUnfinishedFiles();
    std::function<void()> m_abandon;
};

// Abandons every unfinished file, the latest first. Called just before the
// program ends.
void abandonUnfinishedFiles();

}  // namespace zd
