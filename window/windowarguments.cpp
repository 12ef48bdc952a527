#include "window/windowarguments.h"

namespace zd {
namespace {

struct ValuedOption {
    QString name;
    std::optional<Setting> WindowSourceOptions::*field;
    QString expects;
};

const ValuedOption kOptions[] = {
    {QStringLiteral("--source"), &WindowSourceOptions::source, QStringLiteral("site or census")},
    {QStringLiteral("--year"), &WindowSourceOptions::year, QStringLiteral("a year")},
};

}  // namespace

WindowArguments parseWindowArguments(const QStringList& arguments)
{
    WindowArguments result;
    for (qsizetype i = 1; i < arguments.size() && result.error.isEmpty(); ++i) {
        const QString& argument = arguments[i];
        for (const ValuedOption& option : kOptions) {
            if (argument.startsWith(option.name + '=')) {
                result.options.*option.field = Setting{argument.mid(option.name.size() + 1), option.name};
            } else if (argument == option.name) {
                if (i + 1 >= arguments.size()) {
                    result.error = option.name + " needs a value: " + option.expects;
                    break;
                }
                result.options.*option.field = Setting{arguments[++i], option.name};
            }
        }
    }
    return result;
}

}  // namespace zd
