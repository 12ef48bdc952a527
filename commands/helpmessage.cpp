#include "commands/helpmessage.h"

#include "census/censussource.h"
#include "core/dialogs.h"
#include "core/errortrap.h"
#include "core/siteconfig.h"
#include "core/windowstate.h"

namespace zd {

QString helpMessageText()
{
    return QStringLiteral("This software uses ") + demographicsHost()
           + QStringLiteral(" as the source database to retrieve results.") + QStringLiteral("\r\n\r\n")
           + QStringLiteral("Please email ") + supportEmail()
           + QStringLiteral(" if you have any questions.");
}

QString helpMessageText(const CensusSession* census)
{
    if (!census)
        return helpMessageText();
    return helpMessageText() + QStringLiteral("\r\n\r\n") + censusNotice();
}

void PushButton1_Click(WindowState& state, const CensusSession* census)
{
    ErrorTrap trap(state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton1_Click "));
    QString text;
    trap.run(100, [&] { text = helpMessageText(census); });
    trap.run(102, [&] { showMessageBox(state.dialogs(), text, kMessagePlain); });
}

}  // namespace zd
