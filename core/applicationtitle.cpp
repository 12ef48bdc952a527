#include "core/applicationtitle.h"

#include "core/apperror.h"

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

QString productTitle()
{
    return QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel Almonet Quiverel");
}

QString shortenedApplicationTitle(const QString& productTitle)
{
    constexpr qsizetype kLongestTitle = 40;
    QString text = productTitle;
    do {
        const qsizetype lastSpace = text.lastIndexOf(QLatin1Char(' '));
        if (lastSpace < 0)
            throw AppError(errors::invalidArgument());
        text.truncate(lastSpace);
    } while (text.size() > kLongestTitle);
    return text;
}

void setShortenedApplicationTitle(const QString& productTitle)
{
    setApplicationTitle(shortenedApplicationTitle(productTitle));
}

}  // namespace zd
