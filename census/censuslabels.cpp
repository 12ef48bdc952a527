#include "census/censuslabels.h"

#include "core/escapedcontrols.h"
#include "census/labelpath.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace zd {
namespace {

QString yearText(int year) { return QString::number(year); }

// A built-in figure with the year's ID for it, or the message that leaves it out.
QString findBuiltIn(CensusVariable& variable, const LabelPathIndex& index, int year)
{
    variable.id = index.find(*variable.labelPath);
    if (variable.id.isEmpty())
        return "\"" + variable.label + "\" (" + variable.labelPath->table + ": "
               + variable.labelPath->wordings.first() + ") is not in the " + yearText(year)
               + " data profile; it is left out";
    return {};
}

// A user's figure named without a kind is shown as dollars when its label says so.
void takeKindFromLabel(CensusVariable& variable, const QString& label)
{
    if (!variable.kindGiven && labelLevels(label).constLast().endsWith(QStringLiteral("(dollars)"), Qt::CaseInsensitive))
        variable.kind = FigureKind::Dollars;
}

QString formKey(const QString& id) { return id.endsWith("PE") ? QStringLiteral("PE") : QStringLiteral("E"); }

QString tailKey(const QString& id, const QStringList& path, qsizetype depth)
{
    return (formKey(id) + '|' + path.first() + '|' + path.mid(path.size() - depth).join(QStringLiteral("!!"))).toLower();
}

// How many rows of the year end in each section's last levels, by form.
QHash<QString, int> tailCounts(const CensusLabels& labels)
{
    QHash<QString, int> counts;
    for (const QString& id : labels.ids()) {
        if (!isProfileEstimate(id))
            continue;  // margins of error and annotations repeat the estimates' labels
        const QStringList path = labelPathLevels(labels.label(id));
        for (qsizetype depth = 1; depth < path.size() - 1; ++depth)
            ++counts[tailKey(id, path, depth)];
    }
    return counts;
}

QString readableLabel(const QString& id, const QString& label, const QHash<QString, int>& counts)
{
    const QStringList path = labelPathLevels(label);
    for (qsizetype depth = 1; depth < path.size() - 1; ++depth) {
        if (counts.value(tailKey(id, path, depth)) <= 1)
            return path.first() + ": " + path.mid(path.size() - depth).join(QStringLiteral(": "));
    }
    return path.join(QStringLiteral(": "));
}

QString inDollarsOf(const QString& label, int year)
{
    static const QString dollars = QStringLiteral("(dollars)");
    const QString ofYear = "(" + yearText(year) + " dollars)";
    if (label.endsWith(dollars, Qt::CaseInsensitive))
        return label.chopped(dollars.size()) + ofYear;
    return label + ' ' + ofYear;
}

// "Occupied housing units" as it reads within a sentence: "occupied housing
// units"; a level that starts with a capitalised word ("ZIP ...") is kept.
QString withinSentence(const QString& level)
{
    if (level.size() > 1 && level[0].isUpper() && level[1].isLower())
        return level[0].toLower() + level.mid(1);
    return level;
}

}  // namespace

QString figureUniverse(const QString& id, const CensusLabels& labels)
{
    const QStringList path = labelPathLevels(labels.label(id));
    return path.size() >= 2 ? path[1] : QString();
}

QStringList figureUniverses(const QList<CensusVariable>& checked, const CensusLabels& labels)
{
    QStringList universes;
    universes.reserve(checked.size());
    for (const CensusVariable& variable : checked)
        universes.append(figureUniverse(variable.id, labels));
    return universes;
}

std::optional<CensusLabels> CensusLabels::parse(const QByteArray& json)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    const QJsonValue variables = document.object().value(QStringLiteral("variables"));
    if (!variables.isObject())
        return std::nullopt;
    CensusLabels labels;
    const QJsonObject all = variables.toObject();
    // A label reaches the terminal and the user's files: a control character in it
    // is kept escaped, so an answer can neither clear a screen nor split a row.
    for (auto it = all.begin(); it != all.end(); ++it)
        labels.m_labels.insert(it.key(),
                               escapedControls(it.value().toObject().value(QStringLiteral("label")).toString()));
    return labels;
}

bool labelMatchesConcept(const QString& label, const QString& wanted)
{
    const QStringList have = labelLevels(label);
    const QStringList want = labelLevels(wanted);
    if (want.isEmpty() || want.size() > have.size())
        return false;
    const qsizetype offset = have.size() - want.size();
    for (qsizetype i = 0; i < want.size(); ++i) {
        const QString& level = have[offset + i];
        const bool last = i == want.size() - 1;
        const bool matches = last ? level.compare(want[i], Qt::CaseInsensitive) == 0
                                  : level.endsWith(want[i], Qt::CaseInsensitive);
        if (!matches)
            return false;
    }
    return true;
}

CheckedVariables checkVariables(const QList<CensusVariable>& wanted, bool userSet, const CensusLabels& labels,
                                int year)
{
    CheckedVariables checked;
    QStringList unknown;
    const LabelPathIndex index(labels);
    for (CensusVariable variable : wanted) {
        if (variable.labelPath) {
            if (const QString leftOut = findBuiltIn(variable, index, year); !leftOut.isEmpty()) {
                checked.leftOut.append(leftOut);
                continue;
            }
        } else if (!labels.contains(variable.id)) {
            if (userSet)
                unknown.append(variable.id);
            else
                checked.leftOut.append(variable.id + " is not in the " + yearText(year) + " data profile; it is left out");
            continue;
        }
        const QString label = labels.label(variable.id);
        if (!variable.chosenFor.isEmpty() && !labelMatchesConcept(label, variable.chosenFor)) {
            checked.leftOut.append(variable.id + " is \"" + label + "\" in " + yearText(year) + ", not \""
                                   + variable.chosenFor + "\"; it is left out");
            continue;
        }
        takeKindFromLabel(variable, label);
        variable.medianCoding = medianCodingOf(label, year);
        checked.variables.append(variable);
    }
    if (!unknown.isEmpty())
        checked.error = "the " + yearText(year) + " data profile has no variable " + unknown.join(", ")
                        + " (its variables.json lists those it has)";
    else if (checked.variables.isEmpty())
        checked.error = "none of the figures is in the " + yearText(year) + " data profile";
    return checked;
}

QStringList shownLabels(const QList<CensusVariable>& checked, const CensusLabels& labels, int year)
{
    const QHash<QString, int> counts = tailCounts(labels);
    QStringList shown;
    QHash<QString, int> timesShown;
    for (const CensusVariable& variable : checked) {
        shown.append(variable.label.isEmpty() ? readableLabel(variable.id, labels.label(variable.id), counts)
                                              : variable.label);
        ++timesShown[shown.constLast().toLower()];
    }
    for (qsizetype i = 0; i < checked.size(); ++i) {
        if (timesShown.value(shown[i].toLower()) > 1 && checked[i].label.isEmpty())
            shown[i] = labelLevels(labels.label(checked[i].id)).join(QStringLiteral(": "));
        if (checked[i].kind == FigureKind::Dollars)
            shown[i] = inDollarsOf(shown[i], year);
        if (checked[i].kind == FigureKind::Percent && !figureUniverse(checked[i].id, labels).isEmpty())
            shown[i] += ": percent of " + withinSentence(figureUniverse(checked[i].id, labels));
    }
    return shown;
}

}  // namespace zd
