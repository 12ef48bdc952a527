#pragma once

#include <QCommandLineParser>
#include <QString>

#include <optional>

namespace zd {

// A setting as the user gave it, and where: "--site", "ZIPDEMOGRAPHICS_SITE".
struct Setting {
    QString value;
    QString origin;
};

// What a setting's reader makes of it: the value to use, or why the setting
// cannot be used, in words that name it and where it came from.
template <typename Value>
struct SettingReading {
    Value value{};
    QString error;  // empty when the value can be used
};

// The option's value when it is given, named "--NAME"; nothing otherwise.
std::optional<Setting> optionSetting(const QCommandLineParser& parser, const QString& name);
// The given option, else the environment variable when it is set and not empty.
std::optional<Setting> optionOrEnvironment(const std::optional<Setting>& option, const char* variable);

}  // namespace zd
