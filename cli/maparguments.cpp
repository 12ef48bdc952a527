#include "cli/maparguments.h"

#include "cli/cliarguments.h"
#include "core/commandline.h"
#include "map/mapfile.h"
#include "map/sequentialpalette.h"

namespace zd {

QString readMapOptions(const QCommandLineParser& parser, CliArguments& result)
{
    result.map.figure = parser.value("figure");
    result.census.onlyFigure = result.map.figure;  // the census source asks for this figure alone
    if (const QString error = readWholeNumber(parser, "classes", 2, kMostMapClasses, result.map.classes);
        !error.isEmpty())
        return error;
    return readWholeNumber(parser, "width", kNarrowestMap, kWidestMap, result.map.width);
}

QString mapRequirement(const CliArguments& result)
{
    if (result.map.figure.trimmed().isEmpty())
        return QStringLiteral("map needs --figure LABEL or VARIABLE, the figure to draw");
    if (result.outputPath.isEmpty())
        return QStringLiteral("map needs -o OUT.svg or OUT.png, the picture to write");
    if (!mapFormatOfPath(result.outputPath))
        return "map writes .svg or .png, not \"" + result.outputPath + "\"";
    return {};
}

}  // namespace zd
