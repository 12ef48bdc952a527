#pragma once

#include <QString>

namespace zd {

// What stands in the way of writing a result file, as far as can be seen before
// writing it, in the order it is looked for.
enum class OutputObstacle {
    None,
    NoName,              // the path is empty
    IsFolder,            // the path names a folder
    FolderMissing,       // the folder it would go into does not exist
    FolderNotAFolder,    // what would be its folder is a file
    ReadOnly,            // the file is there and read-only
    ReadOnlyFolder,      // the file would be made anew in a folder this user may not write
    FolderTakesNoFiles,  // the folder refuses new files all the same (/proc, /sys); asked only with probing
};

enum class FolderProbe { Skip, Ask };

// The first obstacle to writing a result file at path. A regular file (or none) is
// replaced through a new file beside it, so its folder must take one; a special
// file (a pipe, a device) is written in place. With FolderProbe::Ask the folder
// is asked to take a new file.
OutputObstacle findOutputObstacle(const QString& path, FolderProbe probe = FolderProbe::Skip);

// Asked of the folder itself, by making a file in it: some (/proc, /sys) refuse
// new files whatever their permissions say, also to the superuser.
bool folderTakesNewFiles(const QString& folder);

// The obstacle in words, for a message after "cannot write PATH: ": "it is a
// folder", "its folder "/x" does not exist", ...
QString describeOutputObstacle(OutputObstacle obstacle, const QString& path);

}  // namespace zd
