#include "site/censusprofile.h"

#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <map>
#include <memory>
#include <mutex>

namespace zd {

enum class RowKind { Count, Dollars, Years, Minutes, Rate, PercentOnly, HouseholdSize, FamilySize, SexRatio, Rooms };

struct CensusProfile::Row {
    QStringList path;  // the label's levels in lower case, without the "Estimate" start
    QString key;       // the path joined by "!!"
    QString last;      // its last level
    RowKind kind = RowKind::Count;
    int parent = -1;   // the count row the label sits under; -1 for a table's total
    QList<int> children;
};

struct CensusProfile::Share {
    double least;
    double spread;
};

namespace {

const QString kNoSuchFigure = QStringLiteral("-888888888");

// FNV-1a: the same figures in every run of the site.
quint32 hashOf(const QString& text)
{
    quint32 hash = 2166136261u;
    for (const char byte : text.toUtf8()) {
        hash ^= quint8(byte);
        hash *= 16777619u;
    }
    return hash;
}

// A number in [0, 1) that depends only on the text.
double unit(const QString& text) { return (hashOf(text) % 100003u) / 100003.0; }

QStringList pathOf(const QString& label)
{
    static const QStringList starts = {"estimate", "percent estimate", "percent"};
    QStringList levels = label.toLower().split(QStringLiteral("!!"));
    for (QString& level : levels) {
        level = level.trimmed();
        if (level.endsWith(':'))
            level.chop(1);
    }
    if (levels.size() > 1 && starts.contains(levels.first()))
        levels.removeFirst();
    return levels;
}

RowKind kindOf(const QStringList& path)
{
    static const QRegularExpression rate(QStringLiteral("\\brate\\b"));
    const QString& last = path.constLast();
    if (path.first().startsWith("percentage of") || last.startsWith("percent "))
        return RowKind::PercentOnly;
    if (last.endsWith("(dollars)"))
        return RowKind::Dollars;
    if (last.endsWith("(years)"))
        return RowKind::Years;
    if (last.endsWith("(minutes)"))
        return RowKind::Minutes;
    if (last.contains(rate))
        return RowKind::Rate;
    if (last.startsWith("average household size"))
        return RowKind::HouseholdSize;
    if (last.startsWith("average family size"))
        return RowKind::FamilySize;
    if (last.startsWith("sex ratio"))
        return RowKind::SexRatio;
    if (last.startsWith("median rooms"))
        return RowKind::Rooms;
    return RowKind::Count;
}

// Rows that split the row above them between them, each with the least share
// it takes and how much more it may take by chance.
using Share = CensusProfile::Share;
const QList<QHash<QString, Share>>& splits()
{
    static const QList<QHash<QString, Share>> groups = {
        {{"male", {45, 10}}, {"female", {45, 10}}},
        {{"under 5 years", {4, 4}}, {"5 to 9 years", {4, 4}}, {"10 to 14 years", {4, 4}},
         {"15 to 19 years", {4, 4}}, {"20 to 24 years", {4, 5}}, {"25 to 34 years", {9, 8}},
         {"35 to 44 years", {9, 6}}, {"45 to 54 years", {9, 6}}, {"55 to 59 years", {4, 4}},
         {"60 to 64 years", {4, 4}}, {"65 to 74 years", {6, 6}}, {"75 to 84 years", {3, 4}},
         {"85 years and over", {1, 2}}},
        {{"less than $10,000", {3, 6}}, {"$10,000 to $14,999", {2, 5}}, {"$15,000 to $24,999", {5, 6}},
         {"$25,000 to $34,999", {5, 6}}, {"$35,000 to $49,999", {8, 6}}, {"$50,000 to $74,999", {12, 8}},
         {"$75,000 to $99,999", {10, 7}}, {"$100,000 to $149,999", {10, 10}}, {"$150,000 to $199,999", {4, 8}},
         {"$200,000 or more", {3, 10}}},
        {{"one race", {88, 10}}, {"two or more races", {2, 10}}},
        {{"white", {20, 70}}, {"black or african american", {1, 30}}, {"american indian and alaska native", {0.2, 2}},
         {"asian", {0.5, 12}}, {"native hawaiian and other pacific islander", {0, 0.6}}, {"some other race", {0.5, 8}}},
        {{"hispanic or latino (of any race)", {1, 40}}, {"not hispanic or latino", {55, 40}}},
        {{"owner-occupied", {25, 50}}, {"renter-occupied", {15, 40}}},
        {{"with health insurance coverage", {85, 12}}, {"no health insurance coverage", {1, 12}}},
        {{"in labor force", {55, 15}}, {"not in labor force", {25, 15}}},
        {{"employed", {88, 10}}, {"unemployed", {1, 8}}},
    };
    return groups;
}

const QHash<QString, Share>* splitOf(const QString& last)
{
    for (const QHash<QString, Share>& group : splits()) {
        if (group.contains(last))
            return &group;
    }
    return nullptr;
}

QByteArray builtInList(int year)
{
    QFile file(QStringLiteral(":/census-profiles/profile-%1.tsv").arg(year));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A ZCTA's people, households and housing units, which its counts come down from.
enum Base { kPopulation = -1, kHouseholdSize = -2, kHouseholds = -3, kHousingUnits = -4 };

double base(const QString& zcta, Base which, CensusProfile::Memo& memo)
{
    if (const auto known = memo.constFind(which); known != memo.constEnd())
        return *known;
    double value = 0;
    switch (which) {
    case kPopulation: value = 300 + hashOf(zcta + " population") % 60000; break;
    case kHouseholdSize: value = std::round((1.9 + unit(zcta + " household size") * 1.3) * 100) / 100; break;
    case kHouseholds: value = std::round(base(zcta, kPopulation, memo) / base(zcta, kHouseholdSize, memo)); break;
    case kHousingUnits: value = std::round(base(zcta, kHouseholds, memo) * (1.03 + unit(zcta + " vacant") * 0.15)); break;
    }
    memo.insert(which, value);
    return value;
}

int decimalsOf(RowKind kind)
{
    switch (kind) {
    case RowKind::Count:
    case RowKind::Dollars: return 0;
    case RowKind::HouseholdSize:
    case RowKind::FamilySize: return 2;
    default: return 1;
    }
}

double dollars(const QStringList& path, double u)
{
    const QString key = path.join(QStringLiteral("!!"));
    const QString& last = path.constLast();
    if (key.contains("gross rent"))
        return 550 + 2300 * u;
    if (path.first() == "value")
        return 80000 + 870000 * u;
    if (key.contains("monthly owner costs"))
        return key.contains("without a mortgage") ? 250 + 900 * u : 700 + 2800 * u;
    if (last.contains("per capita"))
        return 15000 + 70000 * u;
    if (last.contains("earnings"))
        return 22000 + 80000 * u;
    if (last.startsWith("mean"))
        return 15000 + 150000 * u;
    return 28000 + 170000 * u;
}

}  // namespace

CensusProfile::CensusProfile(const QByteArray& list)
{
    for (const QByteArray& line : list.split('\n')) {
        const qsizetype tab = line.indexOf('\t');
        if (tab <= 0)
            continue;
        const QString id = QString::fromUtf8(line.left(tab));
        const QString label = QString::fromUtf8(line.mid(tab + 1)).trimmed();
        m_variables.append(id);
        m_labels.insert(id, label);
        const QStringList path = pathOf(label);
        const QString key = id.left(4) + '|' + path.join(QStringLiteral("!!"));
        if (!m_rowOfPath.contains(key)) {
            m_rowOfPath.insert(key, int(m_rows.size()));
            m_rows.append({path, key, path.constLast(), kindOf(path), -1, {}});
        }
        m_rowOfId.insert(id, m_rowOfPath.value(key));
    }
    for (int i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        if (row.path.size() < 2)
            continue;
        const QString parentKey = row.key.left(row.key.size() - row.last.size() - 2);
        const int parent = m_rowOfPath.value(parentKey, -1);
        if (parent >= 0 && m_rows[parent].kind == RowKind::Count && row.kind == RowKind::Count) {
            row.parent = parent;
            m_rows[parent].children.append(i);
        }
    }
}

QList<int> CensusProfile::years() { return {2017, 2019, 2021, 2023}; }

const CensusProfile* CensusProfile::ofYear(int year)
{
    static std::mutex mutex;
    static std::map<int, std::unique_ptr<CensusProfile>> profiles;
    if (!years().contains(year))
        return nullptr;
    std::lock_guard lock(mutex);
    std::unique_ptr<CensusProfile>& profile = profiles[year];
    if (!profile)
        profile.reset(new CensusProfile(builtInList(year)));
    return profile.get();
}

std::optional<QString> CensusProfile::label(const QString& variable) const
{
    if (const auto known = m_labels.constFind(variable); known != m_labels.constEnd())
        return *known;
    if (!variable.endsWith('M'))
        return std::nullopt;
    const auto estimate = m_labels.constFind(variable.chopped(1) + 'E');
    if (estimate == m_labels.constEnd())
        return std::nullopt;
    const QString rest = estimate->mid(estimate->indexOf(QStringLiteral("!!")));
    return (variable.endsWith("PM") ? "Percent Margin of Error" : "Margin of Error") + rest;
}

QString CensusProfile::value(const QString& zcta, const QString& variable, Memo& memo) const
{
    const bool margin = variable.endsWith('M');
    const QString estimate = margin ? variable.chopped(1) + 'E' : variable;
    const int index = m_rowOfId.value(estimate, -1);
    if (index < 0)
        return kNoSuchFigure;
    const Row& row = m_rows[index];
    double number = 0;
    int decimals = decimalsOf(row.kind);
    if (!estimate.endsWith("PE")) {
        if (row.kind == RowKind::PercentOnly)
            return kNoSuchFigure;
        number = figure(zcta, index, memo);
    } else if (row.kind == RowKind::Count) {
        const int root = rootOf(index);
        if (root == index)
            return kNoSuchFigure;
        const double whole = count(zcta, root, memo);
        number = whole > 0 ? 100.0 * count(zcta, index, memo) / whole : 0;
        decimals = 1;
    } else if (row.kind == RowKind::PercentOnly || row.kind == RowKind::Rate) {
        number = figure(zcta, index, memo);
    } else {
        return kNoSuchFigure;
    }
    if (!std::isfinite(number))
        return kNoSuchFigure;
    const double scale = std::pow(10.0, decimals);
    number = std::round(number * scale) / scale;
    if (margin)
        number = std::floor(number * (0.02 + 0.2 * unit(zcta + " margin " + variable)) * scale) / scale;
    return QString::number(number, 'f', decimals);
}

double CensusProfile::figure(const QString& zcta, int index, Memo& memo) const
{
    const Row& row = m_rows[index];
    if (row.kind == RowKind::Count)
        return count(zcta, index, memo);
    const double u = unit(zcta + ' ' + row.key);
    switch (row.kind) {
    case RowKind::Dollars: return std::round(dollars(row.path, u));
    case RowKind::Years: return 24 + 34 * u;
    case RowKind::Minutes: return 12 + 36 * u;
    case RowKind::Rate: return 0.5 + 11.5 * u;
    case RowKind::PercentOnly:
        if (row.last.contains("high school"))
            return 70 + 29 * u;
        if (row.last.contains("bachelor"))
            return 10 + 60 * u;
        return 2 + 28 * u;
    case RowKind::HouseholdSize: return base(zcta, kHouseholdSize, memo);
    case RowKind::FamilySize: return base(zcta, kHouseholdSize, memo) + 0.45 + 0.3 * u;
    case RowKind::SexRatio: {
        const double female = sibling(zcta, row, "female", memo);
        return female > 0 ? 100.0 * sibling(zcta, row, "male", memo) / female : NAN;
    }
    case RowKind::Rooms: return 3 + 4.5 * u;
    case RowKind::Count: break;
    }
    return NAN;
}

double CensusProfile::count(const QString& zcta, int index, Memo& memo) const
{
    if (const auto known = memo.constFind(index); known != memo.constEnd())
        return *known;
    const Row& row = m_rows[index];
    const double value = row.parent < 0 ? universe(zcta, row, memo) : childCount(zcta, index, memo);
    memo.insert(index, value);
    return value;
}

// A table's total: the ZCTA's people, households or housing units, or a part of
// them for a total of a narrower kind ("Population 25 years and over").
double CensusProfile::universe(const QString& zcta, const Row& row, Memo& memo) const
{
    const QString& last = row.last;
    const double share = 0.3 + 0.65 * unit(zcta + ' ' + row.key);
    if (last == "total population")
        return base(zcta, kPopulation, memo);
    if (last == "total households" || last == "households" || last == "occupied housing units")
        return base(zcta, kHouseholds, memo);
    if (last == "total housing units")
        return base(zcta, kHousingUnits, memo);
    if (last.contains("famil"))
        return std::floor(base(zcta, kHouseholds, memo) * (0.5 + 0.25 * unit(zcta + " families")));
    if (last.contains("housing unit") || last.contains("units"))
        return std::floor(base(zcta, kHousingUnits, memo) * share);
    if (last.contains("household"))
        return std::floor(base(zcta, kHouseholds, memo) * share);
    return std::floor(base(zcta, kPopulation, memo) * share);
}

double CensusProfile::childCount(const QString& zcta, int index, Memo& memo) const
{
    const Row& row = m_rows[index];
    const Row& parent = m_rows[row.parent];
    const double whole = count(zcta, row.parent, memo);
    if (const std::optional<double> summary = ageSummary(zcta, row, memo))
        return *summary;
    if (parent.last == "total housing units" && row.path.first() == "housing occupancy") {
        const double occupied = std::min(whole, base(zcta, kHouseholds, memo));
        if (row.last == "occupied housing units")
            return occupied;
        if (row.last == "vacant housing units")
            return whole - occupied;
    }
    if (row.last == "high school graduate or higher")
        return std::floor(whole * (0.7 + 0.29 * unit(zcta + ' ' + row.key)));
    if (row.last == "bachelor's degree or higher") {
        const double atLeastHighSchool = sibling(zcta, row, "high school graduate or higher", memo);
        if (!std::isnan(atLeastHighSchool))
            return std::floor(atLeastHighSchool * (0.15 + 0.6 * unit(zcta + ' ' + row.key)));
    }
    if (const QHash<QString, Share>* split = splitOf(row.last)) {
        splitAmongGroup(zcta, row.parent, *split, memo);
        return memo.value(index);
    }
    // A row that is no part of a split: together with the others such, no more than the parent.
    qsizetype others = 0;
    for (const int child : parent.children)
        others += splitOf(m_rows[child].last) ? 0 : 1;
    return std::floor(whole * (0.3 + 0.7 * unit(zcta + ' ' + row.key)) / std::max<qsizetype>(1, others));
}

// Gives each row of the group under the parent its share of the parent, all of
// it between them when the whole group is there; the shares are kept in the memo.
void CensusProfile::splitAmongGroup(const QString& zcta, int parent, const QHash<QString, Share>& group,
                                    Memo& memo) const
{
    const double whole = count(zcta, parent, memo);
    QList<int> members;
    QList<double> weights;
    double allWeights = 0;
    for (const int child : m_rows[parent].children) {
        if (const auto share = group.constFind(m_rows[child].last); share != group.constEnd()) {
            members.append(child);
            weights.append(share->least + share->spread * unit(zcta + ' ' + m_rows[child].key));
            allWeights += weights.constLast();
        }
    }
    // Where only some of the group sit under this parent ("No health insurance
    // coverage" alone), they take no more than their part of the whole group.
    const bool wholeGroup = members.size() == group.size();
    if (!wholeGroup) {
        double most = 0;
        for (const Share& share : group)
            most += share.least + share.spread;
        allWeights = std::max(allWeights, most);
    }
    double given = 0;
    for (qsizetype i = 0; i < members.size(); ++i) {
        const bool last = wholeGroup && i == members.size() - 1;
        const double value = last ? whole - given : std::floor(whole * weights[i] / allWeights);
        memo.insert(members[i], value);
        given += value;
    }
}

// The age rows that sum brackets: "Under 18 years" is the brackets up to 14
// and three fifths of 15 to 19, and so on.
std::optional<double> CensusProfile::ageSummary(const QString& zcta, const Row& row, Memo& memo) const
{
    static const QStringList summaries = {"under 18 years",    "16 years and over", "18 years and over",
                                          "21 years and over", "62 years and over", "65 years and over"};
    if (row.path.size() != 3 || row.path[0] != "sex and age" || row.path[1] != "total population"
        || !summaries.contains(row.last))
        return std::nullopt;
    const auto bracket = [&](const char* last) { return sibling(zcta, row, QString::fromLatin1(last), memo); };
    const double whole = count(zcta, row.parent, memo);
    const double children = bracket("under 5 years") + bracket("5 to 9 years") + bracket("10 to 14 years");
    const double under18 = children + std::floor(0.6 * bracket("15 to 19 years"));
    const double over65 = bracket("65 to 74 years") + bracket("75 to 84 years") + bracket("85 years and over");
    double value = NAN;
    if (row.last == "under 18 years")
        value = under18;
    else if (row.last == "16 years and over")
        value = whole - children - std::floor(0.2 * bracket("15 to 19 years"));
    else if (row.last == "18 years and over")
        value = whole - under18;
    else if (row.last == "21 years and over")
        value = whole - under18 - std::floor(0.6 * bracket("20 to 24 years"));
    else if (row.last == "62 years and over")
        value = over65 + std::floor(0.6 * bracket("60 to 64 years"));
    else if (row.last == "65 years and over")
        value = over65;
    if (std::isnan(value))
        return std::nullopt;
    return value;
}

// The count of the row beside this one (under the same parent) that ends in `last`; NaN without one.
double CensusProfile::sibling(const QString& zcta, const Row& row, const QString& last, Memo& memo) const
{
    const int parentKeyEnd = int(row.key.size() - row.last.size() - 2);
    const int other = m_rowOfPath.value(row.key.left(parentKeyEnd) + "!!" + last, -1);
    return other < 0 || m_rows[other].kind != RowKind::Count ? NAN : count(zcta, other, memo);
}

int CensusProfile::rootOf(int index) const
{
    while (m_rows[index].parent >= 0)
        index = m_rows[index].parent;
    return index;
}

}  // namespace zd
