"""The tree's C and C++ sources and the includes they hold."""
import os
import pathlib
import re

SUFFIXES = {".c", ".cc", ".cpp", ".cxx", ".c++", ".cp", ".h", ".hh", ".hpp", ".hxx",
            ".h++", ".inl", ".ipp", ".tpp", ".txx", ".ixx", ".cppm", ".ccm", ".cxxm"}
DIRECTIVE = re.compile(r'^\s*#\s*(?:include|include_next|import)\b\s*(.*)')
WRITTEN = re.compile(r'([<"])([^>"]*)[>"]')
SKIPPED_FOLDERS = {"node_modules"}


def source_files(root):
    """Every source file below the root as a path from it; hidden folders and build
    trees (a folder with a CMakeCache.txt) left out."""
    for folder, subfolders, files in os.walk(root):
        here = pathlib.Path(folder)
        subfolders[:] = sorted(name for name in subfolders
                               if not name.startswith(".") and name not in SKIPPED_FOLDERS
                               and not (here / name / "CMakeCache.txt").exists())
        for name in sorted(files):
            if pathlib.PurePath(name).suffix.lower() in SUFFIXES:
                yield (here / name).relative_to(root).as_posix()


def logical_lines(text):
    """Each line as the preprocessor reads it, with the number of its first line:
    lines that end in a backslash are joined to the next."""
    start, pending = None, []
    for number, line in enumerate(text.splitlines(), start=1):
        start = number if start is None else start
        if line.endswith("\\"):
            pending.append(line[:-1])
            continue
        yield start, "".join(pending) + line
        start, pending = None, []
    if pending:
        yield start, "".join(pending)


def includes(path):
    """Each include of a file as (line number, "<" or '"', the path written), or with
    None and the text after the directive where a macro names the header. A
    byte-order mark before the first line is no part of it."""
    text = path.read_text(encoding="utf-8-sig", errors="replace")
    for number, line in logical_lines(text):
        directive = DIRECTIVE.match(line)
        if not directive:
            continue
        written = WRITTEN.match(directive.group(1))
        if written:
            yield number, written.group(1), written.group(2).strip()
        else:
            yield number, None, directive.group(1).strip()
