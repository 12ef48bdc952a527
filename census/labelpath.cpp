#include "census/labelpath.h"

#include <QRegularExpression>

#include <algorithm>

namespace zd {
namespace {

QString groupKey(const QString& table, bool percent) { return table + (percent ? " PE" : " E"); }

bool levelMatches(const QString& level, const QString& wanted)
{
    if (!wanted.contains('*'))
        return level == wanted;
    QStringList parts = wanted.split('*');
    for (QString& part : parts)
        part = QRegularExpression::escape(part);
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(parts.join(QStringLiteral(".*"))));
    return pattern.match(level).hasMatch();
}

bool levelsMatch(const QStringList& levels, const QStringList& wanted)
{
    if (levels.size() != wanted.size())
        return false;
    for (qsizetype i = 0; i < levels.size(); ++i) {
        if (!levelMatches(levels[i], wanted[i]))
            return false;
    }
    return true;
}

}  // namespace

QStringList labelLevels(const QString& label)
{
    QStringList levels = label.split(QStringLiteral("!!"));
    for (QString& level : levels) {
        level = level.trimmed();
        if (level.endsWith(':'))
            level.chop(1);
    }
    return levels;
}

QStringList labelPathLevels(const QString& label)
{
    static const QStringList forms = {"estimate", "percent estimate", "percent"};
    QStringList levels = labelLevels(label);
    if (levels.size() > 1 && forms.contains(levels.first().toLower()))
        levels.removeFirst();
    return levels;
}

LabelPathIndex::LabelPathIndex(const CensusLabels& labels)
{
    for (const QString& id : labels.ids()) {
        if (!isProfileEstimate(id))
            continue;
        QStringList levels = labelPathLevels(labels.label(id));
        for (QString& level : levels)
            level = level.toLower();
        m_rows[groupKey(id.left(4), id.endsWith("PE"))].append({id, levels});
    }
    for (QList<Row>& rows : m_rows)
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
}

QString LabelPathIndex::find(const LabelPath& path) const
{
    const QList<Row> rows = m_rows.value(groupKey(path.table, path.percent));
    for (const QString& wording : path.wordings) {
        QStringList wanted = labelLevels(wording);
        for (QString& level : wanted)
            level = level.toLower();
        for (const Row& row : rows) {
            if (levelsMatch(row.levels, wanted))
                return row.id;
        }
    }
    return {};
}

}  // namespace zd
