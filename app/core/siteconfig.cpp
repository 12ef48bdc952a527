#include "app/core/siteconfig.h"

#include <QtGlobal>

namespace zd {
namespace {
QString& hostOverride()
{
    static QString host;
    return host;
}
}  // namespace

QString builtInDemographicsHost() { return QStringLiteral(ZD_DEFAULT_SITE_HOST); }

QString demographicsHost()
{
    if (!hostOverride().isEmpty())
        return hostOverride();
    const QString fromEnvironment = qEnvironmentVariable("ZIPDEMOGRAPHICS_SITE");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    return builtInDemographicsHost();
}

void setDemographicsHostOverride(const QString& host) { hostOverride() = host; }

QString supportEmail() { return QStringLiteral(ZD_SUPPORT_EMAIL); }

}  // namespace zd
