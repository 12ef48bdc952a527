#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
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
    // A map legend's classes as numbers, low and high: the rows after
    // "Quantile classes", each "LOW – HIGH" or one value.
    QList<QPair<double, double>> legendLimits() const;
    // The fill each value should have: the swatch of the legend row whose
    // limits hold it; sorted, to hold against the sorted filled circles.
    QStringList classColoursOf(const QList<double>& values) const;
    // The filled circles' fills, sorted.
    QStringList sortedFilledCircles() const;
};

SvgShapes readSvgShapes(const QByteArray& document);

// "$136,900", "18.7%", "46.0 years" as a number; NaN for any other text.
double numberOfLegendText(const QString& text);

}  // namespace zd::test
