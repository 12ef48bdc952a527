#include "census/censusvariables.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>

namespace zd {
namespace {

const QList<QPair<FigureKind, QString>>& kindNames()
{
    static const QList<QPair<FigureKind, QString>> names = {
        {FigureKind::Count, "count"},     {FigureKind::Percent, "percent"}, {FigureKind::Dollars, "dollars"},
        {FigureKind::Years, "years"},     {FigureKind::Minutes, "minutes"}};
    return names;
}

// An estimate that is a percentage reads as one unless the file says otherwise.
FigureKind defaultKind(const QString& id) { return id.endsWith("PE") ? FigureKind::Percent : FigureKind::Count; }

QString readLine(const QString& line, CensusVariable& variable)
{
    const QStringList fields = line.split('\t');
    variable.id = fields[0].trimmed();
    if (!isProfileEstimate(variable.id))
        return "\"" + variable.id + "\" is not a data-profile estimate (DPnn_nnnnE or DPnn_nnnnPE)";
    variable.kind = defaultKind(variable.id);
    variable.kindGiven = fields.size() > 1;
    if (fields.size() > 1) {
        const std::optional<FigureKind> kind = figureKindNamed(fields[1].trimmed());
        if (!kind)
            return "\"" + fields[1].trimmed() + "\" is not a kind (count, percent, dollars, years or minutes)";
        variable.kind = *kind;
    }
    if (fields.size() > 2)
        variable.chosenFor = fields[2].trimmed();
    return {};
}

QString readBuiltInLine(const QString& line, CensusVariable& variable)
{
    static const QRegularExpression table(QStringLiteral("^DP0[2-5]$"));
    const QStringList fields = line.split('\t');
    if (fields.size() != 5)
        return QStringLiteral("a figure needs five fields (table, form, label path, kind, label)");
    LabelPath path;
    path.table = fields[0].trimmed();
    if (!table.match(path.table).hasMatch())
        return "\"" + path.table + "\" is no data-profile table (DP02 to DP05)";
    const QString form = fields[1].trimmed();
    if (form != "estimate" && form != "percent")
        return "\"" + form + "\" is neither \"estimate\" nor \"percent\"";
    path.percent = form == "percent";
    for (const QString& wording : fields[2].split(QStringLiteral(" | "))) {
        if (!wording.trimmed().isEmpty())
            path.wordings.append(wording.trimmed());
    }
    if (path.wordings.isEmpty())
        return QStringLiteral("the label path is empty");
    const std::optional<FigureKind> kind = figureKindNamed(fields[3].trimmed());
    if (!kind)
        return "\"" + fields[3].trimmed() + "\" is not a kind (count, percent, dollars, years or minutes)";
    variable.kind = *kind;
    variable.label = fields[4].trimmed();
    if (variable.label.isEmpty())
        return QStringLiteral("the label is empty");
    variable.labelPath = path;
    return {};
}

using LineReader = QString (*)(const QString&, CensusVariable&);

// The lines of a set, each read by `read`; the key that may not repeat is the
// ID of a user's figure and the label of a built-in one.
CensusVariableSet parseLines(const QByteArray& text, const QString& origin, LineReader read)
{
    CensusVariableSet set;
    QSet<QString> seen;
    const QStringList lines = QString::fromUtf8(text).split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].endsWith('\r') ? lines[i].chopped(1) : lines[i];
        if (line.trimmed().isEmpty() || line.startsWith('#'))
            continue;
        CensusVariable variable;
        QString problem = read(line, variable);
        const QString key = variable.labelPath ? variable.label : variable.id;
        if (problem.isEmpty() && seen.contains(key))
            problem = key + " is listed twice";
        if (!problem.isEmpty()) {
            set.error = origin + ", line " + QString::number(i + 1) + ": " + problem;
            set.variables.clear();
            return set;
        }
        seen.insert(key);
        set.variables.append(variable);
    }
    if (set.variables.isEmpty())
        set.error = origin + " names no figure";
    return set;
}

}  // namespace

bool isProfileEstimate(const QString& id)
{
    static const QRegularExpression pattern(QStringLiteral("^DP\\d\\d_\\d{4}P?E$"));
    return pattern.match(id).hasMatch();
}

QString marginOfErrorId(const QString& estimateId)
{
    return estimateId.left(estimateId.size() - 1) + 'M';
}

std::optional<FigureKind> figureKindNamed(const QString& name)
{
    for (const auto& [kind, kindName] : kindNames()) {
        if (name == kindName)
            return kind;
    }
    return std::nullopt;
}

QString figureKindName(FigureKind kind)
{
    for (const auto& [known, name] : kindNames()) {
        if (known == kind)
            return name;
    }
    return {};
}

CensusVariableSet parseCensusVariableSet(const QByteArray& text, const QString& origin)
{
    return parseLines(text, origin, readLine);
}

CensusVariableSet parseBuiltInFigures(const QByteArray& text, const QString& origin)
{
    return parseLines(text, origin, readBuiltInLine);
}

CensusVariableSet readCensusVariableFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        CensusVariableSet set;
        set.error = "cannot read \"" + path + "\": " + file.errorString();
        return set;
    }
    return parseCensusVariableSet(file.readAll(), "\"" + path + "\"");
}

const QList<CensusVariable>& builtInCensusVariables()
{
    static const QList<CensusVariable> variables = [] {
        QFile file(QStringLiteral(":/census/census-variables.tsv"));
        const bool opened = file.open(QIODevice::ReadOnly);
        Q_ASSERT(opened);
        Q_UNUSED(opened);
        return parseBuiltInFigures(file.readAll(), "the built-in figures").variables;
    }();
    return variables;
}

}  // namespace zd
