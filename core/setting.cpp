#include "core/setting.h"

#include <QtGlobal>

namespace zd {

std::optional<Setting> optionSetting(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name))
        return std::nullopt;
    return Setting{parser.value(name), "--" + name};
}

std::optional<Setting> optionOrEnvironment(const std::optional<Setting>& option, const char* variable)
{
    if (option)
        return option;
    const QString value = qEnvironmentVariable(variable);
    if (value.isEmpty())
        return std::nullopt;
    return Setting{value, QString::fromLatin1(variable)};
}

}  // namespace zd
