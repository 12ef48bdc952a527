#include "map/figuremap.h"

#include "map/atlas.h"
#include "map/mapcaptions.h"

namespace zd {

MapPicture figureMap(FigureDots& dots, const QString& asked, int classes, const RunInfo& run, const Atlas& atlas)
{
    MapPicture picture;
    const QString label = dots.figureFound() ? dots.label() : asked.trimmed();
    picture.title = mapTitle(label.isEmpty() ? QStringLiteral("No figures") : label, run);
    picture.sourceLines.append(figuresSourceLine(run));
    if (!atlas.sourceLine().isEmpty())
        picture.sourceLines.append(atlas.sourceLine());
    picture.style = dots.style();
    picture.classes = classes;
    picture.bounds = dots.bounds();
    picture.dots = std::move(dots.dots());
    return picture;
}

}  // namespace zd
