#include "tests/support/svgshapes.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <limits>

namespace zd::test {
namespace {

QString fillOf(const QXmlStreamAttributes& attributes, const QStringList& groupFills)
{
    if (attributes.hasAttribute(QStringLiteral("fill")))
        return attributes.value(QStringLiteral("fill")).toString();
    return groupFills.isEmpty() ? QStringLiteral("black") : groupFills.constLast();
}

void readElement(QXmlStreamReader& reader, QStringList& groupFills, SvgShapes& shapes)
{
    const QXmlStreamAttributes attributes = reader.attributes();
    const QStringView name = reader.name();
    if (name == QLatin1String("g"))
        groupFills.append(fillOf(attributes, groupFills));
    else if (name == QLatin1String("circle"))
        shapes.circles.append({fillOf(attributes, groupFills), attributes.value("cx").toDouble(),
                               attributes.value("cy").toDouble()});
    else if (name == QLatin1String("rect"))
        shapes.rectangles.append({fillOf(attributes, groupFills), attributes.value("x").toDouble(),
                                  attributes.value("y").toDouble()});
    else if (name == QLatin1String("path"))
        ++shapes.paths;
    else if (name == QLatin1String("text"))
        shapes.texts.append(reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed());
    else if (name == QLatin1String("title"))
        shapes.title = reader.readElementText();
    else if (name == QLatin1String("desc"))
        shapes.description = reader.readElementText();
}

}  // namespace

QStringList SvgShapes::swatchColours() const
{
    QStringList colours;
    for (const SvgShape& rectangle : rectangles) {
        if (rectangle.fill != QLatin1String("none") && rectangle.fill != QLatin1String("#ffffff"))
            colours.append(rectangle.fill);
    }
    return colours;
}

QStringList SvgShapes::circleFills() const
{
    QStringList fills;
    for (const SvgShape& circle : circles)
        fills.append(circle.fill);
    return fills;
}

SvgShapes readSvgShapes(const QByteArray& document)
{
    SvgShapes shapes;
    QXmlStreamReader reader(document);
    QStringList groupFills;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement)
            readElement(reader, groupFills, shapes);
        else if (token == QXmlStreamReader::EndElement && reader.name() == QLatin1String("g"))
            groupFills.removeLast();
    }
    shapes.wellFormed = !reader.hasError();
    return shapes;
}

double numberOfLegendText(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^-?\\$?([0-9][0-9,]*(\\.[0-9]+)?)"));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::numeric_limits<double>::quiet_NaN();
    QString digits = match.captured(1);
    digits.remove(QLatin1Char(','));
    return (text.startsWith(QLatin1Char('-')) ? -1 : 1) * digits.toDouble();
}

QList<QPair<double, double>> SvgShapes::legendLimits() const
{
    QList<QPair<double, double>> limits;
    const qsizetype heading = texts.indexOf(QStringLiteral("Quantile classes"));
    for (qsizetype i = heading + 1; heading >= 0 && i < texts.size(); ++i) {
        const QStringList ends = texts[i].split(QStringLiteral(" \u2013 "));
        const double low = numberOfLegendText(ends.first());
        if (std::isnan(low))
            break;
        limits.append({low, numberOfLegendText(ends.last())});
    }
    return limits;
}

QStringList SvgShapes::classColoursOf(const QList<double>& values) const
{
    const QStringList swatches = swatchColours();
    const QList<QPair<double, double>> limits = legendLimits();
    QStringList colours;
    for (const double value : values) {
        for (qsizetype c = 0; c < limits.size() && c < swatches.size(); ++c) {
            if (value >= limits[c].first && value <= limits[c].second)
                colours.append(swatches[c]);
        }
    }
    std::sort(colours.begin(), colours.end());
    return colours;
}

QStringList SvgShapes::sortedFilledCircles() const
{
    QStringList filled = circleFills();
    filled.removeAll(QStringLiteral("none"));
    std::sort(filled.begin(), filled.end());
    return filled;
}

}  // namespace zd::test
