#include "census/escapedcontrols.h"

namespace zd {

QString escapedControls(const QString& text)
{
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code <= 0x9F))
            shown += QStringLiteral("\\x%1").arg(unsigned(code), 2, 16, QChar('0'));
        else
            shown += c;
    }
    return shown;
}

}  // namespace zd
