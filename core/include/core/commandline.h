#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

namespace zd {

// A program's command line read with QCommandLineParser: options anywhere among
// the other arguments, "--name value", "--name=value", "-o value", "-ovalue", and
// "--" before arguments that begin with "-". What is wrong is said in a sentence
// of our own, naming the argument as the user typed it.
class CommandLine {
public:
    explicit CommandLine(const QList<QCommandLineOption>& options);

    // The arguments that follow the program name; false with error() in words.
    [[nodiscard]] bool parse(const QStringList& arguments);
    QString error() const { return m_error; }
    const QCommandLineParser& parser() const { return m_parser; }
    // The given options' names, each once, as declared ("output" for "-o" too).
    QStringList givenOptions() const;
    // An option that takes a value given more than once, where only one is
    // meant, in words ("--miles is given more than once"); empty when none is.
    // The options named in `repeatable` (by their long name) may come again.
    QString repeatedOption(const QStringList& repeatable = {}) const;

private:
    QString describeParseError(const QStringList& arguments) const;

    QList<QCommandLineOption> m_options;
    QCommandLineParser m_parser;
    QString m_error;
};

// Readers of an option's value that say what is wrong in words; each leaves the
// target alone when the option is not given. A number is taken as typed: space
// around it (" 5", from a stray quote) is refused, as every number option does.
// A whole number from lowest to highest: '--jobs expects a whole number from 1 to 16, not "x"'.
QString readWholeNumber(const QCommandLineParser& parser, const QString& name, int lowest,
                        int highest, int& target);
// A file name, which may not be empty: '--log needs a file name'.
QString readFileName(const QCommandLineParser& parser, const QString& name, QString& target);

// An option as a user writes it: "-o, --output OUT", "--site HOST[:PORT]".
QString optionSynopsis(const QCommandLineOption& option);
// The long form of the option's name: "--output".
QString longOptionName(const QCommandLineOption& option);
// The options as --help lists them: a synopsis, then the description wrapped
// into a column that starts after the longest synopsis.
QString optionHelpText(const QList<QCommandLineOption>& options);

}  // namespace zd
