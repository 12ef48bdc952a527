"""Where an include lands in the tree, and why it breaks the table."""
import posixpath

from .libraries import GROUND, library_of


class Rules:
    """What an include is judged by: the tree's root, the table and Qt's modules.
    Keeps the known breaches it let pass, so that one no longer met can be named."""

    def __init__(self, root, table, qt_owners):
        self.root = root
        self.table = table
        self.qt_owners = qt_owners
        self.known_met = set()


def folder_of(path, folders):
    """The longest folder of the table that holds the path, or None."""
    best = None
    for folder in folders:
        if (path == folder or path.startswith(folder + "/")) and (best is None or len(folder) > len(best)):
            best = folder
    return best


def climbs(include):
    return ".." in include.split("/")


def included_path(root, source, include):
    """Where an include lands, as a path from the root: "../" paths and quoted paths
    beside the file resolved against it, the rest against the include folders (a
    layer's own, or the root for tests). None when it leaves the tree."""
    beside = posixpath.normpath(posixpath.join(posixpath.dirname(source), include))
    if climbs(include) or include.startswith("./") or (root / beside).is_file():
        return None if beside == ".." or beside.startswith("../") else beside
    return posixpath.normpath(include)


def header_name(landed, folder):
    """"core/include/core/dialogs.h" -> "core/dialogs.h", the name the header is included by."""
    prefix = f"{folder}/include/"
    return landed[len(prefix):] if landed.startswith(prefix) else landed


def include_breach(rules, source, bracket, include):
    """Why an include breaks the table, or None."""
    if bracket is None:
        return f"#include {include}: a header named by a macro, which the check cannot follow"
    written = f"#include {bracket}{include}{'>' if bracket == '<' else bracket}"
    if include.startswith("/"):
        return f"{written}: an absolute path, outside the include folders"
    landed = included_path(rules.root, source, include)
    if landed is None:
        return f"{written}: reaches outside the source tree"
    own = rules.table.rows[folder_of(source, rules.table.rows)]
    # A name that is a folder itself (<map> of the standard library beside map/) is
    # no header of it.
    target = None if landed in rules.table.rows else folder_of(landed, rules.table.rows)
    if target is not None:
        reached = f"reaches {landed}; " if climbs(include) else ""
        return (used_breach(f"{written}: {reached}", own, target)
                or held_back_breach(rules, f"{written}: ", own, source, header_name(landed, target)))
    if climbs(include) or (rules.root / landed).is_file():
        return f"{written}: reaches {landed}, in no folder of the layer table"
    library = library_of(include, rules.qt_owners)
    if library is None or library in GROUND:
        return None
    return used_breach(f"{written}: a {library} header; ", own, library)


def used_breach(head, row, used):
    """The breach of a row that uses a folder or library it does not list, or None."""
    if used == row.folder or used in row.may_use:
        return None
    listed = ", ".join(row.may_use) if row.may_use else "nothing else"
    return f"{head}{row.folder} may use only {listed}, not {used}"


def held_back_breach(rules, head, row, source, header):
    """The breach of a layer below the level a header is held back for, or None. The
    header's own layer, the tests, benchmarks and fuzz targets (no level) may use it."""
    held = rules.table.held_back.get(header)
    if held is None or held.from_level is None or row.level is None or row.level >= held.from_level:
        return None
    if row.folder == header.split("/")[0]:
        return None
    if source in held.known:
        rules.known_met.add((header, source))
        return None
    return f"{head}only layers from level {held.from_level} up may include it; {row.folder} is on level {row.level}"


def stale_known_breaches(rules):
    """Known breaches of the table that the tree no longer has: each is to be removed."""
    for held in rules.table.held_back.values():
        for source in held.known:
            if (held.header, source) not in rules.known_met:
                yield held.line, f"the known breach {source} no longer includes {held.header}: remove it from the table"
