#include "map/mapcaptions.h"

namespace zd {

QString mapTitle(const QString& figureLabel, const RunInfo& run)
{
    const QString& vintage = run.figureSource.vintage;
    return vintage.isEmpty() ? figureLabel : figureLabel + QStringLiteral(", ") + vintage;
}

QString figuresSourceLine(const RunInfo& run)
{
    static const QString kSurvey = QStringLiteral("U.S. Census Bureau, American Community Survey 5-year estimates");
    // The vintage reads "2020-2024 ACS 5-year": its years come first.
    const QString years = run.figureSource.vintage.section(QLatin1Char(' '), 0, 0);
    if (!years.isEmpty())
        return kSurvey + QLatin1Char(' ') + years;
    if (run.site.startsWith(QLatin1String("Census Data API")))
        return kSurvey;
    return QStringLiteral("Figures: ") + run.site;
}

}  // namespace zd
