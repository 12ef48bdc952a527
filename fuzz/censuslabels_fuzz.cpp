// A year's variables.json as the API may send it: read, the built-in figures
// found in it and a user's set of its own estimates checked against it, and the
// labels they are shown with made. No label keeps a control character, and every
// estimate the list holds is taken into a user's set.
#include "census/censuslabels.h"
#include "census/censusvariables.h"

#include <algorithm>
#include <cstdlib>

namespace {
constexpr int kYear = 2023;

void require(bool holds)
{
    if (!holds)
        std::abort();
}

bool hasControl(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() <= 0x9F);
    });
}

void checkShown(const QList<zd::CensusVariable>& checked, const zd::CensusLabels& labels)
{
    const QStringList shown = zd::shownLabels(checked, labels, kYear);
    require(shown.size() == checked.size());
    for (const QString& label : shown)
        require(!hasControl(label));
}

// The list's first estimates, as a user's set naming them without a kind.
QList<zd::CensusVariable> userSetOf(const zd::CensusLabels& labels)
{
    QStringList ids = labels.ids();
    ids.removeIf([](const QString& id) { return !zd::isProfileEstimate(id); });
    std::sort(ids.begin(), ids.end());
    QList<zd::CensusVariable> set;
    for (const QString& id : ids.first(std::min<qsizetype>(ids.size(), 8))) {
        zd::CensusVariable variable;
        variable.id = id;
        variable.kindGiven = false;
        set.append(variable);
    }
    return set;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray json(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<zd::CensusLabels> labels = zd::CensusLabels::parse(json);
    if (!labels)
        return 0;
    for (const QString& id : labels->ids())
        require(!hasControl(labels->label(id)));

    const zd::CheckedVariables builtIn = zd::checkVariables(zd::builtInCensusVariables(), false, *labels, kYear);
    require(builtIn.variables.size() + builtIn.leftOut.size() == zd::builtInCensusVariables().size());
    checkShown(builtIn.variables, *labels);

    const QList<zd::CensusVariable> userSet = userSetOf(*labels);
    if (userSet.isEmpty())
        return 0;
    const zd::CheckedVariables user = zd::checkVariables(userSet, true, *labels, kYear);
    require(user.error.isEmpty() && user.variables.size() == userSet.size());
    checkShown(user.variables, *labels);
    return 0;
}
