#pragma once

#include <QString>

namespace zd {

// Why a source handed out no more entries before its last one.
enum class EndReason {
    Stopped,           // a stop signal was raised; `signal` names it
    RobotsForbid,      // the site's robots.txt disallows a page; nothing was fetched
    CacheUnusable,     // the cache folder cannot be used; nothing was fetched
    KeyRefused,        // the API refused the key, or no key was given
    YearMissing,       // the API has no data profile of the year asked for
    RequestRefused,    // the API refused the request: an unknown variable, say
    SourceUnreadable,  // what the source holds cannot be read: the year's list of variables
};

// How a run ended early: the reason, and the message that says so to the user.
struct EarlyEnd {
    EndReason reason = EndReason::Stopped;
    QString message;
    int signal = 0;  // the stop signal's number (SIGINT, SIGTERM), for a stop
};

}  // namespace zd
