#pragma once

#include <QString>

namespace zd {

// Message box styles: the buttons plus the icon, by the values the commands use.
enum MessageStyle : int {
    kMessageOkOnly = 0,       // the OK button alone
    kMessageWarningIcon = 48, // the exclamation-mark icon
    kMessagePlain = kMessageOkOnly,
    kMessageExclamation = kMessageOkOnly | kMessageWarningIcon,
};

// File dialog flags, by their values in the settings' flags.
enum FileDialogFlag : int {
    kFileDialogReadOnlyChecked = 0x1,     // the read-only box starts checked
    kFileDialogAllowMultiSelect = 0x200,  // more than one file may be picked
    kFileDialogExplorer = 0x80000,        // the explorer-style dialog
    kFileDialogLongNames = 0x200000,      // long file names
};

// What a command sets on the file dialog before showing it.
struct FileDialogSettings {
    QString fileName;
    int flags = 0;
    QString title;
    QString filter;  // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|"
};

// The save dialog's answer: the chosen path (empty text on Cancel) and the filter
// it was chosen under, counted from 1 in the order the settings' filter lists them.
struct SaveAnswer {
    QString path;
    int filterIndex = 1;
};

// The key question's answer: the key typed (empty text on Cancel) and whether
// it is to be kept for the next start.
struct KeyAnswer {
    QString key;
    bool keep = false;
};

// The settings both file commands give their dialog before each showing: no file
// name, the same flags (kTextFileDialogFlags) and the text-file filter; only the
// title differs.
constexpr int kTextFileDialogFlags =
    kFileDialogReadOnlyChecked | kFileDialogAllowMultiSelect | kFileDialogExplorer | kFileDialogLongNames;
FileDialogSettings textFileDialogSettings(const QString& title);

// Every message box, input box and file dialog goes through this interface, so
// that each command also runs with scripted answers and no display.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Modal message box; returns when the user closes it.
    virtual void showMessage(const QString& text, int style, const QString& title) = 0;
    // The input box: the typed text on OK, empty text on Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // The open dialog's answer in its classic form: one full path; or the
    // folder, then each file name, separated by NUL characters; or empty text.
    virtual QString showOpen(const FileDialogSettings& settings) = 0;
    // The save dialog: one path and its filter, or empty text on Cancel. No
    // overwrite question, no extension added.
    virtual SaveAnswer showSave(const FileDialogSettings& settings) = 0;
    // A password field that never shows what is typed, with a box to keep the
    // key (checked at first); OK and Cancel.
    virtual KeyAnswer askForKey(const QString& prompt, const QString& title, const QString& keepText) = 0;
};

// A message box that gives no title of its own: it shows the application title.
void showMessageBox(Dialogs& dialogs, const QString& text, int style = kMessagePlain);

}  // namespace zd
