#include "census/censusfigure.h"

#include <algorithm>

namespace zd {
namespace {

// Thousands separators in the whole part of a decimal number, after a prefix.
QString grouped(QStringView number, QLatin1StringView prefix = {})
{
    const bool negative = number.startsWith(u'-');
    const QStringView digits = negative ? number.mid(1) : number;
    const qsizetype point = digits.indexOf(u'.');
    const qsizetype whole = point < 0 ? digits.size() : point;
    QString text;
    text.reserve(prefix.size() + number.size() + whole / 3 + 1);
    if (negative)
        text += u'-';
    text += prefix;
    for (qsizetype at = 0; at < whole; ++at) {
        if (at > 0 && (whole - at) % 3 == 0)
            text += u',';
        text += digits[at];
    }
    text += digits.mid(whole);
    return text;
}

// Numbers as the API writes them (nearly every figure) are known without
// converting them: they are short, so none is out of a double's range.
bool isShortPlainDecimal(const QString& text) { return text.size() <= 300 && isPlainDecimal(text); }

bool isPlainNumber(const QString& text)
{
    if (isShortPlainDecimal(text))
        return true;
    bool ok = false;
    text.toDouble(&ok);
    return ok && !text.contains('e', Qt::CaseInsensitive) && !text.startsWith('+');
}

// "-0", "-0.0" as "0", "0.0": a total rounded to nothing keeps no sign.
QString withoutSignedZero(QString text)
{
    if (text.startsWith(u'-') && std::all_of(text.begin() + 1, text.end(), [](QChar c) { return c == u'0' || c == u'.'; }))
        text.remove(0, 1);
    return text;
}

QString textOf(const QByteArrayView value) { return QString::fromLatin1(value.data(), value.size()); }

// A value of a row that is a figure (an empty one or an annotation is none).
CensusValue figureOf(QByteArrayView value)
{
    if (value.isEmpty() || censusAnnotationOf(value) != CensusAnnotation::None)
        return std::nullopt;
    return textOf(value);
}

}  // namespace

CensusReading readCensusFigure(QByteArrayView estimate, QByteArrayView margin, const MedianCoding& coding)
{
    CensusReading reading{figureOf(estimate), CensusBound::None, figureOf(margin)};
    const CensusAnnotation marginCode = censusAnnotationOf(margin);
    if (marginCode == CensusAnnotation::Controlled)
        reading.margin = QStringLiteral("0");
    if (!reading.estimate || reading.margin)
        return reading;
    const std::optional<CodedBound> bound = marginCode == CensusAnnotation::OpenEnded
                                                ? codedBoundOf(*reading.estimate)
                                                : codedBoundOf(*reading.estimate, coding);
    if (bound) {
        reading.estimate = bound->value;
        reading.bound = bound->side;
    }
    return reading;
}

QString censusDisplayValue(const CensusValue& value, FigureKind kind, CensusBound bound)
{
    if (!value)
        return {};
    const QString text = withoutSignedZero(value->trimmed());
    if (!isPlainNumber(text))
        return text;  // shown as the API wrote it
    if (bound != CensusBound::None)
        return grouped(text) + (bound == CensusBound::AtLeast ? u'+' : u'-');
    switch (kind) {
    case FigureKind::Count: return grouped(text);
    case FigureKind::Percent: return text + '%';
    case FigureKind::Dollars: return grouped(text, QLatin1StringView("$"));
    case FigureKind::Years: return text + " years";
    case FigureKind::Minutes: return text + " minutes";
    }
    return text;
}

}  // namespace zd
