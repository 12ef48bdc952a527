#include "census/censuslabels.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace zd {
namespace {

QStringList levels(const QString& label)
{
    QStringList parts = label.split(QStringLiteral("!!"));
    for (QString& part : parts) {
        part = part.trimmed();
        if (part.endsWith(':'))
            part.chop(1);
    }
    return parts;
}

QString shortForm(const QStringList& parts, qsizetype depth)
{
    return parts.mid(std::max<qsizetype>(0, parts.size() - depth)).join(QStringLiteral(": "));
}

}  // namespace

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
    for (auto it = all.begin(); it != all.end(); ++it)
        labels.m_labels.insert(it.key(), it.value().toObject().value(QStringLiteral("label")).toString());
    return labels;
}

bool labelMatchesConcept(const QString& label, const QString& wanted)
{
    const QStringList have = levels(label);
    const QStringList want = levels(wanted);
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
    for (const CensusVariable& variable : wanted) {
        const QString yearText = QString::number(year);
        if (!labels.contains(variable.id)) {
            if (userSet)
                unknown.append(variable.id);
            else
                checked.leftOut.append(variable.id + " (" + variable.chosenFor + ") is not in the " + yearText
                                       + " data profile; it is left out");
            continue;
        }
        if (!variable.chosenFor.isEmpty() && !labelMatchesConcept(labels.label(variable.id), variable.chosenFor)) {
            checked.leftOut.append(variable.id + " is \"" + labels.label(variable.id) + "\" in " + yearText
                                   + ", not \"" + variable.chosenFor + "\"; it is left out");
            continue;
        }
        checked.variables.append(variable);
    }
    if (!unknown.isEmpty())
        checked.error = "the " + QString::number(year) + " data profile has no variable " + unknown.join(", ")
                        + " (its variables.json lists those it has)";
    else if (checked.variables.isEmpty())
        checked.error = "none of the figures is in the " + QString::number(year) + " data profile";
    return checked;
}

QStringList shortLabels(const QStringList& labels)
{
    QList<QStringList> parts;
    QList<qsizetype> depth(labels.size(), 1);
    for (const QString& label : labels)
        parts.append(levels(label));
    for (bool changed = true; changed;) {
        changed = false;
        QHash<QString, QList<qsizetype>> byForm;
        for (qsizetype i = 0; i < labels.size(); ++i)
            byForm[shortForm(parts[i], depth[i])].append(i);
        for (const QList<qsizetype>& same : std::as_const(byForm)) {
            if (same.size() < 2)
                continue;
            for (const qsizetype i : same) {
                if (depth[i] < parts[i].size()) {
                    ++depth[i];
                    changed = true;
                }
            }
        }
    }
    QStringList forms;
    for (qsizetype i = 0; i < labels.size(); ++i)
        forms.append(shortForm(parts[i], depth[i]));
    return forms;
}

}  // namespace zd
