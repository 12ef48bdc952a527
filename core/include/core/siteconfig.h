#pragma once

#include "core/setting.h"

#include <QString>

#include <optional>

namespace zd {

// The demographics site's host (host or host:port): an override set at run time
// (the command line's --site), else the environment variable ZIPDEMOGRAPHICS_SITE,
// else the built-in value chosen when the program was built.
QString demographicsHost();
void setDemographicsHostOverride(const QString& host);  // empty text removes it
QString builtInDemographicsHost();

// Why the text cannot stand for the site in a page address: HOST, HOST:PORT,
// [IPV6] or [IPV6]:PORT, the port from 1 to 65535. Empty when it can.
QString siteValueProblem(const QString& value);
// The site setting: the option given (--site), else ZIPDEMOGRAPHICS_SITE when it
// is set and not empty. Its value is the host given, none for the built-in one;
// its error names the value, where it came from and why it cannot be used.
SettingReading<std::optional<QString>> readSiteSetting(const std::optional<Setting>& option);

// The support e-mail address shown in the error box and the help message.
QString supportEmail();

}  // namespace zd
