#include "app/core/dialogs.h"

#include "app/core/applicationtitle.h"

namespace zd {

void showMessageBox(Dialogs& dialogs, const QString& text, int style)
{
    dialogs.showMessage(text, style, applicationTitle());
}

}  // namespace zd
