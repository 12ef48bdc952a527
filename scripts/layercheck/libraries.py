"""The libraries a header belongs to: Qt's modules, found in Qt's own include
folder, and the others by the folder or file their headers are included by."""
import pathlib
import shutil
import subprocess

# The names are the ones the table's "may use" column writes.
LIBRARIES = {
    "libcurl": ("curl/",),
    "nlohmann_json": ("nlohmann/",),
    "QtKeychain": ("qt6keychain/", "qtkeychain/"),
    "OpenSSL": ("openssl/",),
    "libxlsxwriter": ("xlsxwriter.h", "xlsxwriter/"),
    "GoogleTest": ("gtest/", "gmock/"),
    "Google Benchmark": ("benchmark/",),
    "XCB": ("xcb/", "xcb.h"),
}
# What every folder stands on, listed or not.
GROUND = {"QtCore"}


def qt_header_folder(given):
    """Qt's include folder: the one given, else the one Qt's tools name, else None."""
    if given:
        return pathlib.Path(given)
    for tool, query in (("qtpaths6", "--query"), ("qmake6", "-query"), ("qtpaths", "--query")):
        if shutil.which(tool):
            found = subprocess.run([tool, query, "QT_INSTALL_HEADERS"], capture_output=True, text=True)
            if found.returncode == 0 and found.stdout.strip():
                return pathlib.Path(found.stdout.strip())
    return None


def is_qt_header(name):
    return (name.startswith("Q") and "." not in name) or (name.startswith("q") and name.endswith(".h"))


def qt_modules(folder):
    """Each Qt header ("QWidget", "qwidget.h") and module ("QtWidgets") with its module."""
    owners = {}
    for module in sorted(path for path in folder.iterdir() if path.is_dir() and path.name.startswith("Qt")):
        owners.setdefault(module.name, module.name)
        for header in module.iterdir():
            if is_qt_header(header.name):
                owners.setdefault(header.name, module.name)
    for header, module in list(owners.items()):
        if module != "QtCore" and (folder / "QtCore" / header).exists():
            owners[header] = "QtCore"
    return owners


def library_of(include, qt_owners):
    """The library a header belongs to, or None for the system's and unknown ones."""
    first = include.split("/")[0]
    if first in qt_owners and (first.startswith("Qt") or "/" not in include):
        return qt_owners[first]
    for library, starts in LIBRARIES.items():
        if any(include == start or (start.endswith("/") and include.startswith(start)) for start in starts):
            return library
    return None
