#pragma once

#include "core/dialogs.h"

#include <QStringList>

class QWidget;

namespace zd {

// The dialogs of the desktop program: message boxes, the input box and the open
// and save dialogs, modal to the application.
class QtDialogs : public Dialogs {
public:
    void showMessage(const QString& text, int style, const QString& title) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString showOpen(const FileDialogSettings& settings) override;
    SaveAnswer showSave(const FileDialogSettings& settings) override;
    KeyAnswer askForKey(const QString& prompt, const QString& title, const QString& keepText) override;
};

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*|" as Qt's name filters:
// "Text Files (*.txt)", "All Files (*)". Patterns are the ones after each bar;
// "*.*" matches every name, as it does on the dialog's home platform.
QStringList qtNameFilters(const QString& filter);

// Chosen files in the open dialog's classic answer: one full path; or the folder
// they share, then each name relative to it, separated by NUL characters; or empty.
QString classicOpenAnswer(const QStringList& chosenFiles);

// Message text as a label shows it: every CR LF, and every lone CR, a line break.
QString displayedMessageText(const QString& text);

}  // namespace zd
