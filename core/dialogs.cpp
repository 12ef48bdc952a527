#include "core/dialogs.h"

#include "core/applicationtitle.h"

namespace zd {

static_assert(kTextFileDialogFlags == 2621953);

FileDialogSettings textFileDialogSettings(const QString& title)
{
    FileDialogSettings settings;
    settings.flags = kTextFileDialogFlags;
    settings.title = title;
    settings.filter = QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|");
    return settings;
}

void showMessageBox(Dialogs& dialogs, const QString& text, int style)
{
    dialogs.showMessage(text, style, applicationTitle());
}

}  // namespace zd
