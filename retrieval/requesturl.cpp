#include "retrieval/requesturl.h"

#include "core/siteconfig.h"

namespace zd {

QString requestUrl(const QString& zip)
{
    return QStringLiteral("http://") + demographicsHost() + QStringLiteral("/index.php?zip=") + zip
        + QStringLiteral("&amppagetype=main");
}

QString robotsUrl() { return QStringLiteral("http://") + demographicsHost() + QStringLiteral("/robots.txt"); }

}  // namespace zd
