#include "census/sourcesettingcheck.h"

#include "census/censussource.h"

namespace zd {
namespace {

QString problemOf(const SourceSetting& setting)
{
    const QString error = sourceSettingError(setting);
    if (error.isEmpty())
        return {};
    return error + ".\r\n\r\nCorrect or remove ZIPDEMOGRAPHICS_SOURCE, then start the program again.";
}

}  // namespace

bool confirmUsableSourceSetting(Dialogs& dialogs, std::FILE* errorStream)
{
    const std::optional<SourceSetting> setting = environmentSourceSetting();
    const QString problem = setting ? problemOf(*setting) : QString();
    if (problem.isEmpty())
        return true;
    // Also where a terminal sees it, as the site setting is: the box's first
    // paragraph on one line.
    if (errorStream) {
        std::fprintf(errorStream, "zipdemographics: %s\n",
                     problem.section(QStringLiteral("\r\n"), 0, 0).toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs, problem, kMessageExclamation);
    return false;
}

}  // namespace zd
