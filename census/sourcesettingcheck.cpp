#include "census/sourcesettingcheck.h"

#include "census/censussource.h"

namespace zd {
namespace {

QString problemOf(const SourceSetting& setting)
{
    const QString error = sourceSettingError(setting);
    if (!error.isEmpty())
        return error + ".\r\n\r\nCorrect or remove ZIPDEMOGRAPHICS_SOURCE, then start the program again.";
    if (dataSourceNamed(setting.value) == DataSource::Census)
        return QStringLiteral("ZIPDEMOGRAPHICS_SOURCE \"census\": the window shows the site's figures only; "
                              "the census source is in zipdemographics-cli (--source census).\r\n\r\n"
                              "Remove ZIPDEMOGRAPHICS_SOURCE, or set it to \"site\", then start the program again.");
    return {};
}

}  // namespace

bool confirmUsableSourceSetting(Dialogs& dialogs)
{
    const std::optional<SourceSetting> setting = environmentSourceSetting();
    const QString problem = setting ? problemOf(*setting) : QString();
    if (problem.isEmpty())
        return true;
    showMessageBox(dialogs, problem, kMessageExclamation);
    return false;
}

}  // namespace zd
