#include "batch/robotsrules.h"

namespace zd {
namespace {

struct Line {
    QByteArray field;  // lower case
    QByteArray value;
};

std::optional<Line> splitLine(QByteArray line)
{
    const qsizetype hash = line.indexOf('#');
    if (hash >= 0)
        line.truncate(hash);
    const qsizetype colon = line.indexOf(':');
    if (colon < 0)
        return std::nullopt;
    return Line{line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed()};
}

// The records of robots.txt: runs of User-agent lines, each followed by rules.
struct Group {
    QList<QByteArray> agents;
    QList<RobotsRules::Rule> rules;
    std::optional<double> crawlDelay;
};

QList<Group> readGroups(QByteArrayView text)
{
    QList<Group> groups;
    bool takingAgents = false;
    for (const QByteArray& raw : text.toByteArray().replace('\r', '\n').split('\n')) {
        const std::optional<Line> line = splitLine(raw);
        if (!line)
            continue;
        if (line->field == "user-agent") {
            if (!takingAgents)
                groups.append(Group{});
            groups.last().agents.append(line->value.toLower());
            takingAgents = true;
            continue;
        }
        takingAgents = false;
        if (groups.isEmpty())
            continue;
        if (line->field == "allow" || line->field == "disallow") {
            if (!line->value.isEmpty())  // an empty Disallow allows everything
                groups.last().rules.append({line->field == "allow", line->value});
        } else if (line->field == "crawl-delay") {
            bool ok = false;
            const double seconds = line->value.toDouble(&ok);
            if (ok && seconds >= 0)
                groups.last().crawlDelay = seconds;
        }
    }
    return groups;
}

bool namesAgent(const Group& group, QByteArrayView agent)
{
    for (const QByteArray& name : group.agents) {
        if (name != "*" && !name.isEmpty() && agent.toByteArray().toLower().contains(name))
            return true;
    }
    return false;
}

// A pattern is a prefix of the paths it covers unless it ends in "$"; "*" stands
// for any text. Wildcards are matched by going back to the last "*" only, which
// keeps the work linear in practice whatever the pattern.
bool wildcardMatch(QByteArrayView pattern, QByteArrayView path)
{
    const bool anchored = pattern.endsWith('$');
    if (anchored)
        pattern.chop(1);
    qsizetype p = 0, s = 0, star = -1, resume = 0;
    while (s < path.size() || (p < pattern.size() && pattern[p] == '*')) {
        if (p == pattern.size() && !anchored)
            return true;
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = s;
        } else if (s < path.size() && p < pattern.size() && pattern[p] == path[s]) {
            ++p;
            ++s;
        } else if (star >= 0 && resume < path.size()) {
            p = star + 1;
            s = ++resume;
        } else {
            return false;
        }
    }
    return p == pattern.size();
}

}  // namespace

bool robotsPatternMatches(QByteArrayView pattern, QByteArrayView path)
{
    return wildcardMatch(pattern, path);
}

RobotsRules RobotsRules::parse(QByteArrayView text, QByteArrayView userAgent)
{
    const QList<Group> groups = readGroups(text);
    RobotsRules rules;
    const Group* chosen = nullptr;
    for (const Group& group : groups) {
        if (namesAgent(group, userAgent)) {
            chosen = &group;
            break;
        }
        if (!chosen && group.agents.contains("*"))
            chosen = &group;
    }
    if (chosen) {
        rules.m_rules = chosen->rules;
        rules.m_crawlDelay = chosen->crawlDelay;
    }
    return rules;
}

QByteArray RobotsRules::blockingRule(QByteArrayView pathAndQuery) const
{
    const Rule* best = nullptr;
    for (const Rule& rule : m_rules) {
        if (!robotsPatternMatches(rule.pattern, pathAndQuery))
            continue;
        if (!best || rule.pattern.size() > best->pattern.size()
            || (rule.pattern.size() == best->pattern.size() && rule.allow))
            best = &rule;
    }
    return best && !best->allow ? best->pattern : QByteArray();
}

bool RobotsRules::allows(QByteArrayView pathAndQuery) const { return blockingRule(pathAndQuery).isEmpty(); }

}  // namespace zd
