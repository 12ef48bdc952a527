#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd::test {

// What an SVG document draws, read back with Qt's XML reader: each shape with
// the fill it is painted with (its own, else its nearest group's; "none" for
// no fill), in document order.
struct SvgShape {
    QString fill;
    double x = 0;  // a circle's centre, a rectangle's corner
    double y = 0;
};

struct SvgShapes {
    bool wellFormed = false;
    QString title;
    QString description;
    QList<SvgShape> circles;
    QList<SvgShape> rectangles;
    qsizetype paths = 0;
    QStringList texts;

    // The rectangles filled with a colour other than white: a map's legend swatches.
    QStringList swatchColours() const;
    // The circles' fills, each once per circle.
    QStringList circleFills() const;
};

SvgShapes readSvgShapes(const QByteArray& document);

// "$136,900", "18.7%", "46.0 years" as a number; NaN for any other text.
double numberOfLegendText(const QString& text);

}  // namespace zd::test
