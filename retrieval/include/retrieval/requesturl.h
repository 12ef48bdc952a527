#pragma once

#include <QString>

namespace zd {

// The address of a zip code's page: "http://", the site's host, "/index.php?zip=",
// the zip code exactly as given, then "&amppagetype=main" (the "amp" is sent as is).
QString requestUrl(const QString& zip);

// The address of the site's robots.txt.
QString robotsUrl();

}  // namespace zd
