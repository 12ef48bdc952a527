#pragma once

#include <QString>

#include <optional>

namespace zd {

// A figure's value read as a number, with what its text showed around it, so
// that a spreadsheet can show the number the way the page did.
struct FigureNumber {
    double value = 0;    // as shown: "18.7%" is 18.7, "$136,900" is 136900
    // What a spreadsheet stores: the value, a percentage as its fraction, each the
    // double nearest to the decimal shown ("80.6%" is 0.806, not 80.6 / 100).
    double stored = 0;
    int decimals = 0;    // digits after the point
    bool grouped = false;   // thousands separators
    bool percent = false;
    bool currency = false;  // a leading "$"
    QString unit;        // "years", "sq. mi.", "per sq. mi."; empty when none
};

// Reads "19,756", "18.7%", "$136,900", "-2.5", "46.0 years", "881 per sq. mi.".
// Nothing for a text that is not one number: words, "41½", "€ 1.050", "3‰",
// commas out of place ("1,23"), or digits with a leading zero ("03053"), which
// name a code rather than a quantity.
// Text in ASCII alone, nearly every figure, is read by hand, many times faster
// than by the pattern; any other by the pattern.
std::optional<FigureNumber> readFigureNumber(const QString& text);

// The value alone of the same reading (FigureNumber::value), for a writer that
// needs no more.
std::optional<double> readFigureValue(const QString& text);

// A figure's text as a plain decimal for data tools: "$136,900" is "136900",
// "18.7%" "18.7", "41.2 years" "41.2"; a bound keeps its side, "250,000+" is
// "250000+". Zero has no sign. A text that is not one number stays as it is.
QString plainFigureText(const QString& text, bool bound = false);

// The same reading by the pattern alone, whatever the text: the reference the
// reading by hand is held to.
std::optional<FigureNumber> readFigureNumberByPattern(const QString& text);

}  // namespace zd
