#include "export/figurenumber.h"

#include <QByteArrayView>
#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>

namespace zd {
namespace {

// The pattern's groups, by number: looking them up by name costs more than the match.
enum Group : int { kSignBefore = 1, kCurrency, kSignAfter, kWhole, kFraction, kPercent, kUnit };

// sign, "$", sign, whole part (grouped by threes or plain), fraction, "%", unit.
const QRegularExpression& figurePattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "^(-)?(\\$)?(-)?"
        "([1-9]\\d{0,2}(?:,\\d{3})+|[1-9]\\d*|0)"
        "(?:\\.(\\d+))?"
        "(?:\\s?(%))?"
        "(?:\\s+([A-Za-z][A-Za-z.]*(?: [A-Za-z][A-Za-z.]*)*))?$"));
    return pattern;
}

// The pieces of a figure's text, as the pattern's groups hold them.
struct FigureParts {
    bool signBefore = false;
    bool currency = false;
    bool signAfter = false;
    bool percent = false;
    QStringView whole;
    QStringView fraction;
    QStringView unit;
};

std::optional<FigureParts> partsByPattern(QStringView text)
{
    const QRegularExpressionMatch match = figurePattern().match(text);
    if (!match.hasMatch())
        return std::nullopt;
    FigureParts parts;
    parts.signBefore = match.hasCaptured(kSignBefore);
    parts.currency = match.hasCaptured(kCurrency);
    parts.signAfter = match.hasCaptured(kSignAfter);
    parts.percent = match.hasCaptured(kPercent);
    parts.whole = match.capturedView(kWhole);
    parts.fraction = match.capturedView(kFraction);
    parts.unit = match.capturedView(kUnit);
    return parts;
}

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool isLetter(QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }
bool isPatternSpace(QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }  // \s within ASCII

qsizetype digitsFrom(QStringView text, qsizetype at)
{
    qsizetype end = at;
    while (end < text.size() && isDigit(text[end]))
        ++end;
    return end;
}

// [1-9]\d{0,2}(?:,\d{3})+ | [1-9]\d* | 0
bool isWholePart(QStringView whole)
{
    if (whole == u"0")
        return true;
    if (whole.isEmpty() || !isDigit(whole[0]) || whole[0] == u'0')
        return false;
    const qsizetype firstComma = digitsFrom(whole, 0);
    if (firstComma == whole.size())
        return true;
    if (firstComma > 3 || whole[firstComma] != u',')
        return false;
    for (qsizetype group = firstComma; group < whole.size(); group += 4) {
        if (whole[group] != u',' || group + 4 > whole.size() || digitsFrom(whole, group + 1) != group + 4)
            return false;
    }
    return true;
}

// [A-Za-z][A-Za-z.]*(?: [A-Za-z][A-Za-z.]*)*
bool isUnit(QStringView unit)
{
    for (qsizetype i = 0; i < unit.size(); ++i) {
        const bool wordStart = i == 0 || unit[i - 1] == u' ';
        if (wordStart ? !isLetter(unit[i]) : !(isLetter(unit[i]) || unit[i] == u'.' || unit[i] == u' '))
            return false;
    }
    return !unit.isEmpty();
}

// The pattern read by hand, for text in ASCII only, where \d and \s mean what
// they say here (the pattern's take in all of Unicode). Every piece of the
// pattern is followed by one that cannot start the same way, so each is read
// as far as it goes, as the pattern reads it.
std::optional<FigureParts> partsByHand(QStringView text)
{
    FigureParts parts;
    qsizetype at = 0;
    auto take = [&](char16_t c) {
        if (at >= text.size() || text[at] != c)
            return false;
        ++at;
        return true;
    };
    parts.signBefore = take(u'-');
    parts.currency = take(u'$');
    parts.signAfter = take(u'-');
    qsizetype wholeEnd = at;
    while (wholeEnd < text.size() && (isDigit(text[wholeEnd]) || text[wholeEnd] == u','))
        ++wholeEnd;
    parts.whole = text.sliced(at, wholeEnd - at);
    if (!isWholePart(parts.whole))
        return std::nullopt;
    at = wholeEnd;
    if (take(u'.')) {
        const qsizetype fractionEnd = digitsFrom(text, at);
        if (fractionEnd == at)
            return std::nullopt;
        parts.fraction = text.sliced(at, fractionEnd - at);
        at = fractionEnd;
    }
    if (at + 1 < text.size() && isPatternSpace(text[at]) && text[at + 1] == u'%')
        ++at;
    parts.percent = take(u'%');
    if (at == text.size())
        return parts;
    const qsizetype spacesFrom = at;
    while (at < text.size() && isPatternSpace(text[at]))
        ++at;
    parts.unit = text.sliced(at);
    if (at == spacesFrom || !isUnit(parts.unit))
        return std::nullopt;
    return parts;
}

bool isAscii(QStringView text)
{
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

// A word that scales the number ("1.2 million") is no unit: the number shown is not the figure.
bool isMultiplier(QStringView unit)
{
    static const QStringList words{QStringLiteral("hundred"), QStringLiteral("thousand"),
                                   QStringLiteral("million"), QStringLiteral("billion"),
                                   QStringLiteral("trillion")};
    if (unit.isEmpty())
        return false;  // most figures: no words to compare
    const qsizetype space = unit.indexOf(u' ');
    return words.contains(space < 0 ? unit : unit.first(space), Qt::CaseInsensitive);
}

using Digits = QVarLengthArray<char, 64>;

// The digits as the C locale reads them, whatever the user's, the point
// included: other scripts' digits, which the pattern takes in, are no number.
bool appendDigits(const FigureParts& parts, Digits& digits)
{
    for (const QChar c : parts.whole) {
        if (c != u',' && !isDigit(c))
            return false;
        if (c != u',')
            digits.append(char(c.unicode()));
    }
    if (parts.fraction.isEmpty())
        return true;
    digits.append('.');
    for (const QChar c : parts.fraction) {
        if (!isDigit(c))
            return false;
        digits.append(char(c.unicode()));
    }
    return true;
}

// Up to 15 digits make a whole number below 2^53 and a power of ten up to 10^22
// is exact, so their quotient, rounded once, is the nearest double to the
// decimal, as reading the text gives it, at a fraction of the cost.
constexpr qsizetype kMostExactDigits = 15;
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool readExactly(const Digits& digits, int decimals, bool percent, FigureNumber& number)
{
    if (digits.size() - (decimals > 0 ? 1 : 0) > kMostExactDigits)
        return false;
    quint64 whole = 0;
    for (const char c : digits) {
        if (c != '.')
            whole = whole * 10 + quint64(c - '0');
    }
    number.value = double(whole) / kPowersOfTen[decimals];
    number.stored = percent ? double(whole) / kPowersOfTen[decimals + 2] : number.value;
    return true;
}

// The value and the stored number of the digits; false when they are no number.
bool readDigits(Digits& digits, FigureNumber& number)
{
    if (readExactly(digits, number.decimals, number.percent, number))
        return true;
    bool ok = false;
    number.value = QByteArrayView(digits.constData(), digits.size()).toDouble(&ok);
    if (!ok)
        return false;
    // Read from the decimal text, not divided: 80.6 / 100 is 0.8059999999999999.
    if (number.percent) {
        digits.append("e-2", 3);
        number.stored = QByteArrayView(digits.constData(), digits.size()).toDouble();
    } else {
        number.stored = number.value;
    }
    return true;
}

std::optional<FigureNumber> numberOf(const FigureParts& parts)
{
    if (parts.signBefore && parts.signAfter)
        return std::nullopt;
    FigureNumber number;
    number.grouped = parts.whole.contains(u',');
    number.decimals = int(parts.fraction.size());
    number.percent = parts.percent;
    number.currency = parts.currency;
    number.unit = parts.unit.toString();
    if (isMultiplier(number.unit))
        return std::nullopt;
    Digits digits;
    if (!appendDigits(parts, digits))
        return std::nullopt;
    if (!readDigits(digits, number))
        return std::nullopt;
    if (parts.signBefore || parts.signAfter) {
        number.value = -number.value;
        number.stored = -number.stored;
    }
    return number;
}

// As QStringView::trimmed, inline: a figure is mostly no more than a few characters.
QStringView trimmedText(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].isSpace())
        ++begin;
    while (end > begin && text[end - 1].isSpace())
        --end;
    return text.sliced(begin, end - begin);
}

}  // namespace

std::optional<FigureNumber> readFigureNumber(const QString& text)
{
    const QStringView trimmed = trimmedText(text);
    const std::optional<FigureParts> parts = isAscii(trimmed) ? partsByHand(trimmed) : partsByPattern(trimmed);
    return parts ? numberOf(*parts) : std::nullopt;
}

std::optional<double> readFigureValue(const QString& text)
{
    const QStringView trimmed = trimmedText(text);
    const std::optional<FigureParts> parts = isAscii(trimmed) ? partsByHand(trimmed) : partsByPattern(trimmed);
    if (!parts || (parts->signBefore && parts->signAfter) || isMultiplier(parts->unit))
        return std::nullopt;
    FigureNumber number;  // the value alone: no unit kept, no stored number read
    number.decimals = int(parts->fraction.size());
    Digits digits;
    if (!appendDigits(*parts, digits) || !readDigits(digits, number))
        return std::nullopt;
    return parts->signBefore || parts->signAfter ? -number.value : number.value;
}

QString plainFigureText(const QString& text, bool bound)
{
    const QStringView trimmed = trimmedText(text);
    const bool sided = bound && (trimmed.endsWith(u'+') || trimmed.endsWith(u'-'));
    const QStringView number = sided ? trimmed.chopped(1) : trimmed;
    const std::optional<FigureParts> parts = isAscii(number) ? partsByHand(number) : partsByPattern(number);
    Digits digits;
    if (!parts || (parts->signBefore && parts->signAfter) || isMultiplier(parts->unit) || !appendDigits(*parts, digits))
        return text;
    const bool zero = std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
    QString plain;
    if ((parts->signBefore || parts->signAfter) && !zero)
        plain += u'-';
    plain += QLatin1StringView(digits.constData(), digits.size());
    if (sided)
        plain += trimmed.back();
    return plain;
}

std::optional<FigureNumber> readFigureNumberByPattern(const QString& text)
{
    const std::optional<FigureParts> parts = partsByPattern(trimmedText(text));
    return parts ? numberOf(*parts) : std::nullopt;
}

}  // namespace zd
