#pragma once

#include <QCommandLineParser>
#include <QString>

namespace zd {

struct CliArguments;

// map's own options: --figure, --classes and --width. A usage error in words.
QString readMapOptions(const QCommandLineParser& parser, CliArguments& result);

// What map needs besides: a figure, and -o OUT ending in .svg or .png.
QString mapRequirement(const CliArguments& result);

}  // namespace zd
