#include "census/figurechoice.h"

namespace zd {

bool isFigureNamed(const QString& label, const QString& id, const QString& wanted)
{
    const QString name = wanted.trimmed();
    // A percent may be named without what it is a percent of: "Owner-occupied".
    const QString percentOf = label.section(QStringLiteral(": percent of "), 0, 0);
    return label.compare(name, Qt::CaseInsensitive) == 0 || percentOf.compare(name, Qt::CaseInsensitive) == 0 || (!id.isEmpty() && id.compare(name, Qt::CaseInsensitive) == 0);
}

ChosenFigure chooseFigure(const QList<CensusVariable>& checked, const QStringList& labels, const QString& wanted)
{
    ChosenFigure chosen;
    QStringList there;
    for (qsizetype i = 0; i < checked.size() && i < labels.size(); ++i) {
        if (isFigureNamed(labels[i], checked[i].id, wanted)) {
            chosen.variables = {checked[i]};
            chosen.labels = {labels[i]};
            return chosen;
        }
        there.append(labels[i] + " [" + checked[i].id + "]");
    }
    chosen.error = "unknown figure \"" + wanted + "\"; the figures are: " + there.join(QStringLiteral("; "));
    return chosen;
}

}  // namespace zd
