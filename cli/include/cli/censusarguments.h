#pragma once

#include <QCommandLineParser>
#include <QString>

namespace zd {

struct CliArguments;

// --source (else ZIPDEMOGRAPHICS_SOURCE) and, for the census source, --year,
// --variables, --moe, the key (CENSUS_API_KEY or --census-key-file) and the
// API's address, all checked before anything is fetched. A census option with
// the site source is a usage error. Returns the usage error in words.
QString readSourceAndCensus(const QCommandLineParser& parser, CliArguments& result);

}  // namespace zd
