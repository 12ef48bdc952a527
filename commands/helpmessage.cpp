#include "commands/helpmessage.h"

#include "census/censussource.h"
#include "core/dialogs.h"
#include "core/errortrap.h"
#include "core/siteconfig.h"
#include "core/windowstate.h"

namespace zd {

namespace {

QString helpMessageNaming(const QString& source)
{
    return QStringLiteral("This software uses ") + source
           + QStringLiteral(" as the source database to retrieve results.") + QStringLiteral("\r\n\r\n")
           + QStringLiteral("Please email ") + supportEmail()
           + QStringLiteral(" if you have any questions.");
}

}  // namespace

QString helpMessageText() { return helpMessageNaming(demographicsHost()); }

QString helpMessageText(const CensusSession* census)
{
    if (!census)
        return helpMessageText();
    // The site is not where the figures come from then: the sentence names the API.
    return helpMessageNaming(QStringLiteral("the Census Bureau's American Community Survey 5-year estimates "
                                            "(Census Data API)"))
           + QStringLiteral("\r\n\r\n") + censusNotice();
}

void PushButton1_Click(WindowState& state, const CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton1_Click "));
    QString text;
    trap.run(100, [&] { text = helpMessageText(census); });
    trap.run(102, [&] { showMessageBox(state.dialogs(), text, kMessagePlain); });
}

}  // namespace zd
