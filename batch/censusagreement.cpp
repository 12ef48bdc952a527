#include "batch/censusagreement.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace zd {
namespace {

// How a ZCTA fared in the believed answers that asked for it.
struct Coverage {
    int answers = 0;
    int holding = 0;
    bool lackedByNoData = false;  // one that lacks it answered 204
};

bool holdsRow(const RequestHeld& held, const QString& zcta, const CensusFigures& figures)
{
    return held.kind == RequestHeld::Kind::Table && held.answer >= 0 && held.answer < figures.answers.size()
           && figures.answers[held.answer].rows.contains(zcta);
}

QHash<QString, Coverage> coverageOf(const QList<QStringList>& zctasAsked, const QList<RequestHeld>& held,
                                    const CensusFigures& figures)
{
    QHash<QString, Coverage> coverage;
    for (qsizetype request = 0; request < held.size() && request < zctasAsked.size(); ++request) {
        if (held[request].kind == RequestHeld::Kind::Nothing)
            continue;
        for (const QString& zcta : zctasAsked[request]) {
            Coverage& zctaCoverage = coverage[zcta];
            ++zctaCoverage.answers;
            if (holdsRow(held[request], zcta, figures))
                ++zctaCoverage.holding;
            else if (held[request].kind == RequestHeld::Kind::NoData)
                zctaCoverage.lackedByNoData = true;
        }
    }
    return coverage;
}

QString disagreement(const QString& zcta, const Coverage& coverage)
{
    return QStringLiteral("the Census API's answers of this run disagree: ZCTA %1 is in %2 of the %3 answers that "
                          "asked for it, %4, so its figures would be partly blank")
        .arg(zcta)
        .arg(coverage.holding)
        .arg(coverage.answers)
        .arg(
             coverage.lackedByNoData ? QStringLiteral("another answered 204 (no data)")
                                     : QStringLiteral("another has no row for it"));
}

}  // namespace

QList<qsizetype> failDisagreeingZctas(const QList<QStringList>& zctasAsked, const QList<RequestHeld>& held,
                                      CensusFigures& figures)
{
    QSet<QString> disagreeing;
    const QHash<QString, Coverage> coverage = coverageOf(zctasAsked, held, figures);
    for (auto zcta = coverage.constBegin(); zcta != coverage.constEnd(); ++zcta) {
        const Coverage& seen = zcta.value();
        if (seen.holding == 0 || seen.holding == seen.answers || figures.failedZctas.contains(zcta.key()))
            continue;
        disagreeing.insert(zcta.key());
        figures.failedZctas.insert(zcta.key(), disagreement(zcta.key(), seen));
    }
    QList<qsizetype> involved;
    for (qsizetype request = 0; request < held.size() && !disagreeing.isEmpty(); ++request) {
        if (held[request].kind == RequestHeld::Kind::Nothing)
            continue;
        const QStringList& asked = zctasAsked[request];
        if (std::any_of(asked.begin(), asked.end(), [&](const QString& zcta) { return disagreeing.contains(zcta); }))
            involved.append(request);
    }
    return involved;
}

}  // namespace zd
