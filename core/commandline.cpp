#include "core/commandline.h"

namespace zd {
namespace {

constexpr qsizetype kHelpWidth = 79;

QString dashed(const QString& name) { return (name.size() == 1 ? "-" : "--") + name; }

const QCommandLineOption* optionNamed(const QList<QCommandLineOption>& options, const QString& name)
{
    for (const QCommandLineOption& option : options) {
        if (option.names().contains(name))
            return &option;
    }
    return nullptr;
}

// Words joined into lines of at most `width` characters (a longer word stands alone).
QStringList wrapped(const QString& text, qsizetype width)
{
    QStringList lines;
    QString line;
    for (const QString& word : text.split(' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines.append(line);
            line.clear();
        }
        line += (line.isEmpty() ? "" : " ") + word;
    }
    lines.append(line);
    return lines;
}

}  // namespace

CommandLine::CommandLine(const QList<QCommandLineOption>& options) : m_options(options)
{
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    m_parser.addOptions(options);
}

bool CommandLine::parse(const QStringList& arguments)
{
    // QCommandLineParser skips the first element, the program's name.
    if (m_parser.parse(QStringList{QString()} + arguments))
        return true;
    m_error = describeParseError(arguments);
    return false;
}

QString CommandLine::describeParseError(const QStringList& arguments) const
{
    const QStringList unknown = m_parser.unknownOptionNames();
    if (!unknown.isEmpty())
        return "unknown option \"" + dashed(unknown.first()) + "\"";
    // The parser only lacks a value when the option that wants one comes last.
    const QString last = arguments.isEmpty() ? QString() : arguments.last();
    const QCommandLineOption* option = optionNamed(m_options, last.mid(last.startsWith("--") ? 2 : 1));
    if (last.startsWith('-') && option && !option->valueName().isEmpty())
        return last + " needs a value";
    return m_parser.errorText();
}

QStringList CommandLine::givenOptions() const
{
    QStringList given;
    for (const QString& name : m_parser.optionNames()) {
        const QCommandLineOption* option = optionNamed(m_options, name);
        const QString canonical = option ? option->names().last() : name;
        if (!given.contains(canonical))
            given.append(canonical);
    }
    return given;
}

QString CommandLine::repeatedOption(const QStringList& repeatable) const
{
    for (const QCommandLineOption& option : m_options) {
        if (option.valueName().isEmpty() || repeatable.contains(option.names().last()))
            continue;
        if (m_parser.values(option.names().first()).size() > 1)
            return dashed(option.names().first()) + " is given more than once";
    }
    return {};
}

QString readWholeNumber(const QCommandLineParser& parser, const QString& name, int lowest,
                        int highest, int& target)
{
    if (!parser.isSet(name))
        return {};
    const QString text = parser.value(name);
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok || text != text.trimmed() || number < lowest || number > highest)
        return QStringLiteral("--%1 expects a whole number from %2 to %3, not \"%4\"")
            .arg(name).arg(lowest).arg(highest).arg(text);
    target = number;
    return {};
}

QString readFileName(const QCommandLineParser& parser, const QString& name, QString& target)
{
    if (!parser.isSet(name))
        return {};
    if (parser.value(name).isEmpty())
        return "--" + name + " needs a file name";
    target = parser.value(name);
    return {};
}

QString longOptionName(const QCommandLineOption& option) { return dashed(option.names().last()); }

QString optionSynopsis(const QCommandLineOption& option)
{
    QStringList names;
    for (const QString& name : option.names())
        names.append(dashed(name));
    QString synopsis = names.join(", ");
    if (!option.valueName().isEmpty())
        synopsis += ' ' + option.valueName();
    return synopsis;
}

QString optionHelpText(const QList<QCommandLineOption>& options)
{
    qsizetype column = 0;
    for (const QCommandLineOption& option : options)
        column = std::max(column, optionSynopsis(option).size() + 4);
    QString text;
    for (const QCommandLineOption& option : options) {
        const QStringList lines = wrapped(option.description(), kHelpWidth - column);
        text += ("  " + optionSynopsis(option)).leftJustified(column) + lines.first() + '\n';
        for (qsizetype i = 1; i < lines.size(); ++i)
            text += QString(column, ' ') + lines[i] + '\n';
    }
    return text;
}

}  // namespace zd
