#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

namespace zd {

// What a site's /robots.txt says to our user agent: the group that names it
// (a case-insensitive part of our agent name), else the "*" group. A path is
// allowed unless a Disallow covers it; the longest matching rule wins and Allow
// wins a tie. Patterns may hold "*" (any text) and end in "$" (end of path).
class RobotsRules {
public:
    struct Rule {
        bool allow = false;
        QByteArray pattern;
    };

    static RobotsRules parse(QByteArrayView text, QByteArrayView userAgent = "Harrowfen");

    bool allows(QByteArrayView pathAndQuery) const;
    // The Disallow pattern that stops the path; empty when it is allowed.
    QByteArray blockingRule(QByteArrayView pathAndQuery) const;
    std::optional<double> crawlDelaySeconds() const { return m_crawlDelay; }

private:
    QList<Rule> m_rules;
    std::optional<double> m_crawlDelay;
};

// Whether a robots.txt pattern covers the path, as above.
bool robotsPatternMatches(QByteArrayView pattern, QByteArrayView path);

}  // namespace zd
