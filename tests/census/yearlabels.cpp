#include "tests/census/yearlabels.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <stdexcept>

namespace zd::test {

const QList<int>& keptProfileYears()
{
    static const QList<int> years = {2017, 2019, 2021, 2023};
    return years;
}

CensusLabels keptProfileLabels(int year)
{
    QFile file(QStringLiteral(ZD_CENSUS_PROFILES "/profile-%1.tsv").arg(year));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + file.fileName().toStdString());
    static const QRegularExpression start(QStringLiteral("^(Percent Estimate|Estimate|Percent)!!"));
    QJsonObject variables;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() != 2)
            continue;
        const QString id = QString::fromUtf8(fields[0]);
        const QString label = QString::fromUtf8(fields[1]);
        variables.insert(id, QJsonObject{{"label", label}});
        const QString margin = id.endsWith("PE") ? "Percent Margin of Error!!" : "Margin of Error!!";
        variables.insert(id.chopped(1) + 'M', QJsonObject{{"label", QString(label).replace(start, margin)}});
    }
    const QByteArray json = QJsonDocument(QJsonObject{{"variables", variables}}).toJson();
    return *CensusLabels::parse(json);
}

}  // namespace zd::test
