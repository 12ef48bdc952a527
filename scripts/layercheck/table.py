"""The layer table of docs/architecture.md, read from its "Layers" section.

Three kinds of table are read there, told apart by their columns: the folders
("folder", "may use", and "level" for the layers), and the headers held back from
the lower layers ("header", "only from", "known breach").
"""
import re

DOCUMENT = "docs/architecture.md"
SECTION = re.compile(r"^##\s+Layers\b")
NO_NAME = {"", "—", "-"}


class Row:
    """A folder's row: its level (None for tests, benchmarks and fuzz targets) and what it may use."""

    def __init__(self, folder, level, may_use, line):
        self.folder = folder
        self.level = level
        self.may_use = may_use
        self.line = line


class HeldBack:
    """A header that only layers from a level up may include, and the known breaches
    that are let pass until they are moved."""

    def __init__(self, header, from_level, known, line):
        self.header = header
        self.from_level = from_level
        self.known = known
        self.line = line


class Table:
    def __init__(self, rows, held_back):
        self.rows = {row.folder: row for row in rows}
        self.held_back = {held.header: held for held in held_back}


def plain_name(text):
    return text.replace("`", "").strip().rstrip("/")


def names_in(cell):
    """"core, QtKeychain (QtDBus)" -> ["core", "QtKeychain", "QtDBus"]."""
    names = []
    for entry in cell.split(","):
        names.extend(plain_name(name) for name in re.split(r"[()]", entry))
    return [name for name in names if name not in NO_NAME]


def leading_number(cell):
    match = re.match(r"\s*(\d+)", cell)
    return int(match.group(1)) if match else None


def section_tables(text):
    """Each table of the section as (line number, {column: cell}) per row."""
    inside, header = False, None
    for number, line in enumerate(text.splitlines(), start=1):
        if line.startswith("## "):
            inside = bool(SECTION.match(line))
        if not inside or not line.lstrip().startswith("|"):
            header = None
            continue
        cells = [cell.strip() for cell in line.strip().strip("|").split("|")]
        if header is None:
            header = [cell.lower() for cell in cells]
        elif not set(line) <= set("|-: "):
            yield number, dict(zip(header, cells))


def read_table(text):
    rows, held_back = [], []
    for number, cells in section_tables(text):
        if "folder" in cells and "may use" in cells:
            rows.append(Row(plain_name(cells["folder"]), leading_number(cells.get("level", "")),
                            names_in(cells["may use"]), number))
        elif "header" in cells and "only from" in cells:
            held_back.append(HeldBack(plain_name(cells["header"]), leading_number(cells["only from"]),
                                      names_in(cells.get("known breach", "")), number))
    return Table(rows, held_back)


def table_breaches(table, libraries):
    """The table's own faults: names it does not know, layers that use their own level or
    one above, held-back headers without a level."""
    for row in table.rows.values():
        for name in row.may_use:
            yield row.line, use_fault(table, row, name, libraries)
    for held in table.held_back.values():
        if held.from_level is None:
            yield held.line, f"{held.header}'s row gives no level it is used from"


def use_fault(table, row, name, libraries):
    used = table.rows.get(name)
    if used is None and name not in libraries:
        return f"{row.folder}'s row names {name}, neither a folder of the table nor a library the check knows"
    if used is not None and row.level is not None and (used.level is None or used.level >= row.level):
        return f"{row.folder} (level {row.level}) may use only lower levels, not {name}"
    return None
