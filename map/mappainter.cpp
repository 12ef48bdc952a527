#include "map/mappainter.h"

#include "map/atlas.h"
#include "map/sequentialpalette.h"
#include "map/valueclasses.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace zd {
namespace {

const QColor kLand(0xee, 0xee, 0xee);
const QColor kStateLine(0x70, 0x70, 0x70);
const QColor kCountyLine(0xc4, 0xc4, 0xc4);
const QColor kSwatchLine(0x40, 0x40, 0x40);
// A ZIP code without a value: a thin ring lighter than the lowest class's dot,
// so that it never reads as a value, least of all as a high one.
const QColor kNoValueRing(0xb0, 0xb0, 0xb0);
constexpr double kNoValueRingWidth = 0.8;
const QColor kText(0x20, 0x20, 0x20);
const QColor kInsetLine(0xa0, 0xa0, 0xa0);

constexpr double kLegendShare = 0.24;   // of the picture's width
constexpr double kPaddingShare = 0.02;  // of the picture's width
constexpr double kLineSpacing = 1.6;    // of a text's pixel size

double padding(int width) { return std::round(width * kPaddingShare); }

int legendRows(const MapPicture& picture) { return std::min(picture.classes, kMostMapClasses) + 2; }

QList<double> valuesOf(const std::vector<MapDot>& dots)
{
    QList<double> values;
    values.reserve(qsizetype(dots.size()));
    for (const MapDot& dot : dots) {
        if (dot.value)
            values.append(*dot.value);
    }
    return values;
}

bool hasHollowDots(const std::vector<MapDot>& dots)
{
    return std::any_of(dots.cbegin(), dots.cend(), [](const MapDot& dot) { return !dot.value; });
}

// The generic family, which an SVG names as it is and any viewer has; the
// system's own sans-serif face in a PNG.
QFont fontOfPixels(int pixels, bool bold = false)
{
    QFont font(QStringLiteral("sans-serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

QTransform mapToPicture(const QRectF& frame, const QRectF& area)
{
    const double scale = area.width() / frame.width();
    return QTransform::fromTranslate(-frame.left(), -frame.top()) * QTransform::fromScale(scale, scale)
           * QTransform::fromTranslate(area.left(), area.top());
}

void paintOutlines(QPainter& painter, const std::vector<Outline>& outlines, const QRectF& frame,
                   const QTransform& toPicture, const QPen& pen, const QBrush& brush)
{
    painter.setPen(pen);
    painter.setBrush(brush);
    for (const Outline& outline : outlines) {
        if (outline.path.controlPointRect().intersects(frame))
            painter.drawPath(toPicture.map(outline.path));
    }
}

void paintGround(QPainter& painter, const MapView& view, const QRectF& area, const Atlas& atlas)
{
    const QTransform toPicture = mapToPicture(view.frame, area);
    painter.save();
    painter.setClipRect(area);
    paintOutlines(painter, atlas.states(), view.frame, toPicture, Qt::NoPen, kLand);
    if (!view.national)
        paintOutlines(painter, atlas.counties(), view.frame, toPicture, QPen(kCountyLine, 0.6), Qt::NoBrush);
    paintOutlines(painter, atlas.states(), view.frame, toPicture, QPen(kStateLine, 1.0), Qt::NoBrush);
    if (view.national) {
        painter.setPen(QPen(kInsetLine, 1.0));
        painter.setBrush(Qt::NoBrush);
        for (const MapRegion inset : {MapRegion::Alaska, MapRegion::Hawaii, MapRegion::PuertoRico}) {
            if (!insetFrame(inset).isEmpty())
                painter.drawRect(toPicture.mapRect(insetFrame(inset)));
        }
    }
    painter.restore();
}

// Small enough that tens of thousands of dots stay apart, large enough to see a few.
double dotRadius(int width, std::size_t dotCount)
{
    const double largest = width / 160.0;
    const double smallest = std::max(1.0, width / 1100.0);
    return std::clamp(largest * std::sqrt(40.0 / double(std::max<std::size_t>(dotCount, 1))), smallest, largest);
}

void paintDots(QPainter& painter, const MapPicture& picture, const MapView& view, const MapLayout& layout,
               const ValueClasses& classes, const QList<QColor>& colours)
{
    const QRectF& area = layout.mapArea;
    const QTransform toPicture = mapToPicture(view.frame, area);
    const double radius = dotRadius(layout.size.width(), picture.dots.size());
    const QPen edge = radius >= 3 ? QPen(QColor(0, 0, 0, 110), 0.7) : QPen(Qt::NoPen);
    painter.save();
    painter.setClipRect(area);
    painter.setPen(QPen(kNoValueRing, kNoValueRingWidth));
    painter.setBrush(Qt::NoBrush);
    for (const MapDot& dot : picture.dots) {
        if (!dot.value)
            painter.drawEllipse(toPicture.map(dot.point.at), radius, radius);
    }
    // In the list's order, not class after class: where dots overlap, no class
    // is always drawn over the others.
    painter.setPen(edge);
    for (const MapDot& dot : picture.dots) {
        if (!dot.value)
            continue;
        painter.setBrush(colours[classes.classOf(*dot.value)]);
        painter.drawEllipse(toPicture.map(dot.point.at), radius, radius);
    }
    painter.restore();
}

// Whites out what lies around the map's area: an SVG keeps no clip, so outlines
// that run past the area would otherwise show under the title and the legend.
void maskAroundMap(QPainter& painter, const MapLayout& layout)
{
    // A little past the picture's edges, so that no sliver of an outline shows there.
    const QRectF whole = QRectF(QPointF(0, 0), QSizeF(layout.size)).adjusted(-4, -4, 4, 4);
    const QRectF& area = layout.mapArea;
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(whole.topLeft(), QPointF(whole.right(), area.top())));
    painter.drawRect(QRectF(QPointF(whole.left(), area.bottom()), whole.bottomRight()));
    painter.drawRect(QRectF(QPointF(whole.left(), area.top()), area.bottomLeft()));
    painter.drawRect(QRectF(area.topRight(), QPointF(whole.right(), area.bottom())));
    painter.restore();
}

// A class's limits; a limit that is a bound among the values says so ("$250,000+").
QString classText(const ValueClasses& classes, int c, const ValueStyle& style, const MapBounds& bounds)
{
    QString lowest = formatValue(classes.lowest[c], style);
    QString highest = formatValue(classes.highest[c], style);
    const bool lowestBound = bounds.atMost && classes.lowest[c] == *bounds.atMost;
    const bool highestBound = bounds.atLeast && classes.highest[c] == *bounds.atLeast;
    if (lowest == highest && (lowestBound || highestBound))
        return lowest + (highestBound ? u'+' : u'-');
    if (lowestBound)
        lowest += u'-';
    if (highestBound)
        highest += u'+';
    return lowest == highest ? lowest : lowest + QStringLiteral(" \u2013 ") + highest;
}

void paintLegend(QPainter& painter, const MapPicture& picture, const MapLayout& layout,
                 const ValueClasses& classes, const QList<QColor>& colours)
{
    const double row = layout.textPixels * kLineSpacing;
    const double swatch = layout.textPixels;
    QPointF at = layout.legendAt;
    painter.setFont(fontOfPixels(layout.textPixels, true));
    painter.setPen(kText);
    const QString heading = classes.count() > 0 ? QStringLiteral("Quantile classes") : QStringLiteral("No values");
    painter.drawText(at + QPointF(0, swatch), heading);
    painter.setFont(fontOfPixels(layout.textPixels));
    auto addRow = [&](const QBrush& brush, const QString& text) {
        at.ry() += row;
        painter.setPen(brush.style() == Qt::NoBrush ? QPen(kNoValueRing, kNoValueRingWidth) : QPen(kSwatchLine, 1.0));
        painter.setBrush(brush);
        painter.drawRect(QRectF(at, QSizeF(swatch, swatch)));
        painter.setPen(kText);
        painter.drawText(at + QPointF(swatch * 1.6, swatch * 0.85), text);
    };
    for (int c = 0; c < classes.count(); ++c)
        addRow(colours[c], classText(classes, c, picture.style, picture.bounds));
    if (hasHollowDots(picture.dots))
        addRow(Qt::NoBrush, QStringLiteral("No value"));
}

void paintTexts(QPainter& painter, const MapPicture& picture, const MapLayout& layout)
{
    const double pad = padding(layout.size.width());
    const double lineWidth = layout.size.width() - 2 * pad;
    painter.setPen(kText);
    const QFont title = fontOfPixels(layout.titlePixels, true);
    painter.setFont(title);
    painter.drawText(QPointF(pad, pad + layout.titlePixels),
                     QFontMetricsF(title).elidedText(picture.title, Qt::ElideRight, lineWidth));
    const QFont small = fontOfPixels(layout.smallPixels);
    painter.setFont(small);
    double y = layout.size.height() - pad - layout.smallPixels * kLineSpacing * (picture.sourceLines.size() - 1);
    for (const QString& line : picture.sourceLines) {
        painter.drawText(QPointF(pad, y), QFontMetricsF(small).elidedText(line, Qt::ElideRight, lineWidth));
        y += layout.smallPixels * kLineSpacing;
    }
}

}  // namespace

MapLayout::MapLayout(int width, const MapView& view, const MapPicture& picture)
{
    titlePixels = std::max(14, width / 48);
    textPixels = std::max(11, width / 80);
    smallPixels = std::max(10, width / 100);
    const double pad = padding(width);
    const double top = pad + titlePixels * kLineSpacing;
    const double mapWidth = width - 3 * pad - width * kLegendShare;
    const double mapHeight = std::round(mapWidth * view.frame.height() / view.frame.width());
    mapArea = QRectF(pad, top, mapWidth, mapHeight);
    legendAt = QPointF(mapArea.right() + pad, top);
    const double legendHeight = legendRows(picture) * textPixels * kLineSpacing;
    const double footer = pad + picture.sourceLines.size() * smallPixels * kLineSpacing;
    size = QSize(width, int(std::ceil(top + std::max(mapHeight, legendHeight) + footer)));
}

void paintMap(QPainter& painter, const MapPicture& picture, const MapView& view, const MapLayout& layout,
              const Atlas& atlas)
{
    const ValueClasses classes = quantileClasses(valuesOf(picture.dots), std::clamp(picture.classes, 1, kMostMapClasses));
    const QList<QColor> colours = sequentialPalette(classes.count());
    painter.setRenderHint(QPainter::Antialiasing);
    // From the first shape on: an SVG names the painter's font on every group.
    painter.setFont(fontOfPixels(layout.textPixels));
    painter.fillRect(QRect(QPoint(0, 0), layout.size), Qt::white);
    paintGround(painter, view, layout.mapArea, atlas);
    paintDots(painter, picture, view, layout, classes, colours);
    maskAroundMap(painter, layout);
    paintLegend(painter, picture, layout, classes, colours);
    paintTexts(painter, picture, layout);
}

}  // namespace zd
