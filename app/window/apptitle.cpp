#include "app/window/apptitle.h"

#include "app/core/apperror.h"
#include "app/core/applicationtitle.h"

namespace zd {

QString productTitle()
{
    return QStringLiteral("Plenvista Oskarro Teglin Vaunder Brissel Almonet Quiverel");
}

QString shortenedAppTitle(const QString& title)
{
    constexpr qsizetype kLongestTitle = 40;
    QString text = title;
    do {
        const qsizetype lastSpace = text.lastIndexOf(QLatin1Char(' '));
        if (lastSpace < 0)
            throw AppError(errors::invalidArgument());
        text.truncate(lastSpace);
    } while (text.size() > kLongestTitle);
    return text;
}

void SetAppTitle(const QString& title)
{
    setApplicationTitle(shortenedAppTitle(title));
}

}  // namespace zd
