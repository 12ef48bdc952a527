#include "core/sitesettingcheck.h"

#include "core/siteconfig.h"

namespace zd {

bool confirmUsableSiteSetting(Dialogs& dialogs)
{
    const std::optional<SiteSetting> setting = environmentSiteSetting();
    const QString error = setting ? siteSettingError(*setting) : QString();
    if (error.isEmpty())
        return true;
    QString text = error + ".\r\n\r\nCorrect or remove ZIPDEMOGRAPHICS_SITE, then start the program again.";
    text[0] = text[0].toUpper();
    showMessageBox(dialogs, text, kMessageExclamation);
    return false;
}

}  // namespace zd
