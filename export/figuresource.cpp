#include "export/figuresource.h"

#include <QStringList>

namespace zd {

QString figureSourceLine(const FigureSource& source)
{
    if (!source.isNamed())
        return {};
    QStringList parts;
    for (const QString& part : {source.vintage, source.publisher}) {
        if (!part.isEmpty())
            parts.append(part);
    }
    return QStringLiteral("Figures: ") + parts.join(QStringLiteral(", "));
}

}  // namespace zd
