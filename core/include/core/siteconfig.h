#pragma once

#include <QString>

#include <optional>

namespace zd {

// The demographics site's host (host or host:port): an override set at run time
// (the command line's --site), else the environment variable ZIPDEMOGRAPHICS_SITE,
// else the built-in value chosen when the program was built.
QString demographicsHost();
void setDemographicsHostOverride(const QString& host);  // empty text removes it
QString builtInDemographicsHost();

// A site setting as the user gave it, and where: "--site", "ZIPDEMOGRAPHICS_SITE".
struct SiteSetting {
    QString value;
    QString origin;
};

// Why the text cannot stand for the site in a page address: HOST, HOST:PORT,
// [IPV6] or [IPV6]:PORT, the port from 1 to 65535. Empty when it can.
QString siteValueProblem(const QString& value);
// The whole message for a setting that cannot be used, naming the value and
// where it came from; empty when the setting is usable.
QString siteSettingError(const SiteSetting& setting);
// ZIPDEMOGRAPHICS_SITE when it is set and not empty.
std::optional<SiteSetting> environmentSiteSetting();

// The support e-mail address shown in the error box and the help message.
QString supportEmail();

}  // namespace zd
