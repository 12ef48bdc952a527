#include "map/mapfile.h"

#include "core/escapedcontrols.h"
#include "core/xmltext.h"
#include "export/resultfile.h"
#include "map/atlas.h"
#include "map/mappainter.h"
#include "map/mapview.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>

namespace zd {
namespace {

// A text from outside as a map shows it: controls escaped, as on a terminal,
// and what XML cannot hold left out (the SVG's painted texts are escaped as
// XML by Qt, its title and description below).
QString shownText(const QString& text) { return xmlCharacters(escapedControls(text)); }

// The picture with its title and captions as the map shows them.
MapPicture withShownTexts(const MapPicture& picture)
{
    MapPicture shown = picture;
    shown.title = shownText(picture.title);
    for (QString& line : shown.sourceLines)
        line = shownText(line);
    return shown;
}

QByteArray drawSvg(const MapPicture& picture, const MapView& view, const MapLayout& layout, const Atlas& atlas)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(layout.size);
    svg.setViewBox(QRect(QPoint(0, 0), layout.size));
    // At the 96 dots an inch of CSS pixels, so that a browser shows it `width` pixels wide.
    svg.setResolution(96);
    // QSvgGenerator writes these two as they are given.
    svg.setTitle(xmlEscaped(picture.title));
    svg.setDescription(xmlEscaped(picture.sourceLines.join(QLatin1Char('\n'))));
    QPainter painter;
    if (!painter.begin(&svg))
        return {};
    paintMap(painter, picture, view, layout, atlas);
    painter.end();
    return buffer.data();
}

QByteArray drawPng(const MapPicture& picture, const MapView& view, const MapLayout& layout, const Atlas& atlas)
{
    QImage image(layout.size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    QPainter painter(&image);
    paintMap(painter, picture, view, layout, atlas);
    painter.end();
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return buffer.data();
}

}  // namespace

std::optional<MapFormat> mapFormatOfPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("svg"))
        return MapFormat::Svg;
    if (suffix == QLatin1String("png"))
        return MapFormat::Png;
    return std::nullopt;
}

QByteArray drawMap(const MapPicture& outsidePicture, MapFormat format, int width, const Atlas& atlas)
{
    const MapPicture picture = withShownTexts(outsidePicture);
    const MapView view = chooseView(picture.dots, atlas);
    const MapLayout layout(width, view, picture);
    return format == MapFormat::Svg ? drawSvg(picture, view, layout, atlas) : drawPng(picture, view, layout, atlas);
}

std::optional<QString> writeMap(const MapPicture& picture, const QString& path, MapFormat format, int width,
                                const Atlas& atlas)
{
    const QByteArray bytes = drawMap(picture, format, width, atlas);
    if (bytes.isEmpty())
        return QStringLiteral("the picture could not be drawn");
    ResultFile file(path);
    if (!file.open())
        return file.description();
    file.append(bytes);
    if (!file.commit())
        return file.description();
    return std::nullopt;
}

}  // namespace zd
