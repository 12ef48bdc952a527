#include "core/xmltext.h"

namespace zd {
namespace {

// One UTF-16 unit outside the surrogates; a pair stands for a character XML holds.
bool isXmlCharacter(char16_t code)
{
    return code == '\t' || code == '\n' || code == '\r' || (code >= 0x20 && code <= 0xD7FF)
           || (code >= 0xE000 && code <= 0xFFFD);
}

}  // namespace

QString xmlCharacters(const QString& text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype at = 0; at < text.size(); ++at) {
        const QChar unit = text[at];
        if (unit.isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate()) {
            kept += unit;
            kept += text[++at];
        } else if (!unit.isSurrogate() && isXmlCharacter(unit.unicode())) {
            kept += unit;
        }
    }
    return kept.size() == text.size() ? text : kept;
}

QString xmlEscaped(const QString& text)
{
    return xmlCharacters(text).toHtmlEscaped().replace(QLatin1Char('\''), QStringLiteral("&#39;"));
}

}  // namespace zd
