#include "app/core/applicationtitle.h"

namespace zd {
namespace {
QString& titleStorage()
{
    static QString title = QStringLiteral("zipdemographics");
    return title;
}
}  // namespace

QString applicationTitle() { return titleStorage(); }

void setApplicationTitle(const QString& title) { titleStorage() = title; }

}  // namespace zd
