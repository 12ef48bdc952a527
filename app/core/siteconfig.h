#pragma once

#include <QString>

namespace zd {

// The demographics site's host (host or host:port): an override set at run time
// (the command line's --site), else the environment variable ZIPDEMOGRAPHICS_SITE,
// else the built-in value chosen when the program was built.
QString demographicsHost();
void setDemographicsHostOverride(const QString& host);  // empty text removes it
QString builtInDemographicsHost();

// The support e-mail address shown in the error box and the help message.
QString supportEmail();

}  // namespace zd
