#include "core/sitesettingcheck.h"

#include "core/siteconfig.h"

namespace zd {

bool confirmUsableSiteSetting(Dialogs& dialogs, std::FILE* errorStream)
{
    const std::optional<SiteSetting> setting = environmentSiteSetting();
    const QString error = setting ? siteSettingError(*setting) : QString();
    if (error.isEmpty())
        return true;
    QString text = error + ".\r\n\r\nCorrect or remove ZIPDEMOGRAPHICS_SITE, then start the program again.";
    text[0] = text[0].toUpper();
    // Also where a terminal sees it: without a display to show the box on, the
    // program would otherwise wait on it in silence.
    if (errorStream) {
        std::fprintf(errorStream, "zipdemographics: %s; correct or remove ZIPDEMOGRAPHICS_SITE\n",
                     error.toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs, text, kMessageExclamation);
    return false;
}

}  // namespace zd
