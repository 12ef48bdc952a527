#include "core/formulatext.h"

#include <QRegularExpression>

namespace zd {
namespace {

bool isFormulaStarter(QChar first)
{
    switch (first.unicode()) {
    case '=':
    case '+':
    case '-':
    case '@':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

// A sign, a dollar, digits plain or grouped by threes, a fraction, an
// exponent, a percent sign: what every spreadsheet reads as one number.
bool isPlainNumber(QStringView text)
{
    static const QRegularExpression number(QStringLiteral(
        "^[+-]?\\$?(?:\\d{1,3}(?:,\\d{3})+|\\d+)(?:\\.\\d+)?(?:[eE][+-]?\\d+)?%?$"));
    return number.match(text).hasMatch();
}

}  // namespace

bool startsFormula(QStringView text)
{
    return !text.isEmpty() && isFormulaStarter(text.front()) && !isPlainNumber(text);
}

QString inertFormulaText(const QString& text)
{
    return startsFormula(text) ? QLatin1Char('\'') + text : text;
}

}  // namespace zd
