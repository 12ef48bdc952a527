#include "batch/namedentries.h"

namespace zd {

QString firstEntriesAndMore(const QStringList& named, qsizetype count, qsizetype shown)
{
    QString text = named.mid(0, shown).join(QStringLiteral(", "));
    if (count > shown)
        text += QStringLiteral(" and %1 more").arg(count - shown);
    return text;
}

}  // namespace zd
