// Mistakes on the command line and outputs that cannot be written: a clear
// message, its own exit status, no fetch, and no file created or harmed.
#include "cli/cliarguments.h"
#include "core/commandline.h"
#include "core/programversion.h"
#include "cli/clihelp.h"
#include "site/loopbackhttpserver.h"
#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace zd::test {
namespace {

class CliMistakes : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_server.listen());
        ASSERT_TRUE(writeWholeFile(m_existing, "what was there\n"));
    }
    ChildRun cli(const QStringList& arguments)
    {
        return runCli(arguments, {.environment = {{"ZIPDEMOGRAPHICS_SITE", QString(m_server.hostAndPort())}}});
    }

    LoopbackHttpServer m_server{[](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "<p>(x)</p><td>(Somewhere)</td>");
    }};
    QTemporaryDir m_folder;
    const QString m_existing = m_folder.filePath("existing.txt");
    const QString m_fresh = m_folder.filePath("fresh.txt");
};

TEST_F(CliMistakes, UsageErrorsAndUnreadableZipListsExitWith2BeforeAnyFetch)
{
    const QString missing = m_folder.filePath("missing.txt");
    const QList<QStringList> mistakes = {
        {},
        {"frobnicate"},
        {"lookup", "--bogus", "03053"},
        {"lookup", "-o", m_fresh, "03053"},
        {"lookup", "--delay", "-1", "03053"},
        {"lookup", "--delay", "soon", "03053"},
        {"lookup", "--site", "a b", "03053"},
        {"lookup", "--site", "http://host", "03053"},
        {"lookup", "--site", "127.0.0.1:99999", "03053"},
        {"export", "--site", "::1", "03053", "-o", m_fresh},
        {"lookup", "--zips"},
        {"lookup", "--zips", missing},
        {"export", "03053"},
        {"export", "03053", "-o", m_existing, "-o", m_fresh},
        {"export", "--delay", "0", "03053", "-o", m_existing},
        {"export", "--zips", missing, "03053", "-o", m_existing},
        {"export", "--zips", m_folder.path(), "03053", "-o", m_fresh},
        {"show"},
        {"show", "03053", "01830"},
        {"show", "--zips", m_existing, "03053"},
        {"export", "03053", "--format", "xls", "-o", m_fresh},
        {"export", "03053", "--csv-long", "-o", m_fresh + ".xlsx"},
        {"show", "03053", "--format", "xlsx"},
        {"lookup", "--format", "csv", "03053"},
    };
    for (const QStringList& arguments : mistakes) {
        SCOPED_TRACE(arguments.join(' ').toStdString());
        const ChildRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(run.err.startsWith("zipdemographics-cli: "));
        EXPECT_TRUE(run.err.endsWith("zipdemographics-cli: Try \"zipdemographics-cli --help\".\n")
                    || run.err.contains("cannot read the zip list"));
    }
    EXPECT_EQ(cli({"lookup", "--zips", missing}).err,
              "zipdemographics-cli: cannot read the zip list \"" + missing.toUtf8() + "\": File not found\n");
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_FALSE(QFile::exists(m_fresh));
    EXPECT_EQ(readWholeFile(m_existing), "what was there\n");
}

TEST_F(CliMistakes, ABadSiteInTheEnvironmentIsRefusedBeforeAnythingIsFetchedOrWritten)
{
    const QString port = QString::number(m_server.port());
    for (const QString& site : QStringList{"127.0.0.1:" + port + "/path", "::1", ":" + port, "127.0.0.1:notaport"}) {
        for (const QStringList& arguments :
             {QStringList{"export", "03053", "-o", m_existing}, QStringList{"lookup", "03053"}}) {
            const ChildRun run = runCli(arguments, {.environment = {{"ZIPDEMOGRAPHICS_SITE", site}}});
            EXPECT_EQ(run.exitCode, 2) << site.toStdString();
            EXPECT_EQ(run.out, "");
            EXPECT_TRUE(run.err.startsWith("zipdemographics-cli: the site \"" + site.toUtf8()
                                           + "\" from ZIPDEMOGRAPHICS_SITE cannot be used: "))
                << run.err.constData();
        }
    }
    EXPECT_EQ(m_server.requestCount(), 0);
    EXPECT_EQ(readWholeFile(m_existing), "what was there\n");
}

TEST_F(CliMistakes, AnIpv6LoopbackSiteInBracketsIsReached)
{
    LoopbackHttpServer ipv6Server{[](const HttpRequest&, HttpConnection& connection) {
        connection.sendResponse(200, "<p>(x)</p><td>(Over There)</td>");
    }};
    ASSERT_TRUE(ipv6Server.listen(0, LoopbackAddress::Ipv6));
    const QString site = QString::fromLatin1(ipv6Server.hostAndPort());
    const QStringList unpaced = {"--rate", "0", "--retries", "0"};
    EXPECT_EQ(cli(QStringList{"lookup", "--delay", "0", "--site", site, "03053"} + unpaced).out, "03053\tOver There\n");
    EXPECT_EQ(runCli(QStringList{"lookup", "--delay", "0", "03053"} + unpaced,
                     {.environment = {{"ZIPDEMOGRAPHICS_SITE", site}}}).out,
              "03053\tOver There\n");
    EXPECT_EQ(ipv6Server.requestCount(), 4) << "robots.txt and the page, twice";
}

TEST_F(CliMistakes, AnOutputThatCannotBeWrittenExitsWith3AndHarmsNothing)
{
    const QStringList outputs = {m_folder.filePath("no/such/folder/out.txt"), m_folder.path(),
                                 m_existing + "/out.txt", m_folder.filePath("no/out.xlsx"),
                                 m_existing + "/out.csv", m_folder.filePath("no/out.jsonl"), "/proc/out.txt",
                                 "/proc/out.xlsx"};
    for (const QString& out : outputs) {
        const ChildRun run = cli({"export", "03053", "-o", out});
        EXPECT_EQ(run.exitCode, 3) << out.toStdString();
        EXPECT_TRUE(run.err.startsWith("zipdemographics-cli: cannot write \"" + out.toUtf8() + "\": "));
    }
    EXPECT_FALSE(cli({"export", "03053", "-o", "/proc/out.txt"}).err.contains("not found"));
    EXPECT_EQ(m_server.requestCount(), 0) << "nothing is fetched for an output that cannot be written";
    EXPECT_FALSE(QDir(m_folder.filePath("no")).exists());
    EXPECT_EQ(readWholeFile(m_existing), "what was there\n");
}

TEST_F(CliMistakes, AReadOnlyResultFileIsLeftAsItWas)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write any file";
    QFile::setPermissions(m_existing, QFile::ReadOwner);
    EXPECT_EQ(cli({"export", "03053", "-o", m_existing}).exitCode, 3);
    EXPECT_EQ(readWholeFile(m_existing), "what was there\n");
}

// The exit status and standard error of a run whose standard output is the given file.
ChildRun runWithOutputTo(const QString& program, const QStringList& arguments, const QString& out)
{
    return runChild(program, arguments, {.standardOutputFile = out});
}

TEST_F(CliMistakes, HelpAndVersionFailLikeAnyOutputWhenStandardOutputIsFull)
{
    for (const QString& program : {QStringLiteral(ZD_CLI_EXECUTABLE), QStringLiteral(ZD_SITE_EXECUTABLE)}) {
        for (const char* option : {"--help", "--version"}) {
            const ChildRun run = runWithOutputTo(program, {option}, "/dev/full");
            EXPECT_NE(run.exitCode, 0) << program.toStdString() << ' ' << option;
            EXPECT_TRUE(run.err.contains(": cannot write to standard output\n"));
        }
    }
    EXPECT_EQ(runWithOutputTo(ZD_CLI_EXECUTABLE, {"--help"}, "/dev/full").exitCode, 3);
}

TEST_F(CliMistakes, HelpDocumentsEveryCommandAndEndsWell)
{
    const ChildRun version = cli({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "zipdemographics-cli " + programVersion().toUtf8() + "\n");
    for (const QCommandLineOption& option : cliQtOptions())
        EXPECT_TRUE(cliHelpText().contains("  " + optionSynopsis(option) + "  ")) << option.names().last().toStdString();
    for (const QStringList& arguments :
         QList<QStringList>{{"--help"}, {"help"}, {"export", "-h"}, {"lookup", "--bogus", "--help"}}) {
        const ChildRun run = cli(arguments);
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.out, cliHelpText().toUtf8());
    }
    for (const char* synopsis : {"zipdemographics-cli lookup [--site HOST[:PORT]] [--delay SECONDS] "
                                 "[BATCH OPTIONS] [--zips FILE]... [ENTRY]...",
                                 "zipdemographics-cli export [--site HOST[:PORT]] [--format FORMAT] [--csv-long] "
                                 "[--partial] [BATCH OPTIONS] [--zips FILE]... [ENTRY]... -o OUT",
                                 "zipdemographics-cli show [--site HOST[:PORT]] [--format FORMAT] [--csv-long] ENTRY"})
        EXPECT_TRUE(cliHelpText().contains(synopsis)) << synopsis;
}

TEST(CliArgumentParsing, OptionsMayStandAnywhereAndDoubleDashEndsThem)
{
    const CliArguments parsed = parseCliArguments(
        {"export", "-", "--zips=a.txt", " 03053 ", "-oout.txt", "--site=h:8", "--", "-1234", "--zips"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.command, CliCommand::Export);
    EXPECT_EQ(parsed.entries, QStringList({"-", " 03053 ", "-1234", "--zips"}));
    EXPECT_EQ(parsed.zipFiles, QStringList({"a.txt"}));
    EXPECT_EQ(parsed.outputPath, "out.txt");
    EXPECT_EQ(parsed.site, "h:8");

    const CliArguments lookup = parseCliArguments({"lookup", "--delay", "0.25", ""});
    EXPECT_EQ(lookup.delaySeconds, 0.25);
    EXPECT_EQ(lookup.entries, QStringList({""}));
    EXPECT_EQ(parseCliArguments({"lookup"}).delaySeconds, 1.0);
    EXPECT_EQ(parseCliArguments({"show", "--version", "x", "y"}).command, CliCommand::Version);
}

TEST(CliArgumentParsing, EachMistakeIsNamedAsTheUserTypedIt)
{
    const QList<QPair<QStringList, QString>> mistakes = {
        {{}, "no command given"},
        {{"--site", "h", "lookup"}, "unknown command \"--site\""},
        {{"lookup", "--bogus=1"}, "unknown option \"--bogus\""},
        {{"lookup", "-x"}, "unknown option \"-x\""},
        {{"lookup", "03053", "--zips"}, "--zips needs a value"},
        {{"export", "x", "-o"}, "-o needs a value"},
        {{"export", "x", "-o", ""}, "-o needs a file name"},
        {{"export", "x", "-oa", "--output=b"}, "-o is given more than once"},
        {{"lookup", "-o", "a", "x"}, "lookup writes to standard output; -o belongs to export"},
        {{"export", "--delay", "0", "-o", "a"},
         "--delay belongs to lookup; export does not wait between entries"},
        {{"show", "--zips", "a", "x"}, "show takes only --site, --format, --csv-long, --source, --year, --variables, --moe, "
                                               "--census-key-file, --census-url and one ENTRY"},
        {{"export", "-o", "a", "--format", "XLSX"}, "--format expects aligned, csv, jsonl or xlsx, not \"XLSX\""},
        {{"export", "-o", "a.jsonl", "--csv-long"}, "--csv-long goes with the csv format, not jsonl"},
        {{"export", "-o", "a.csv", "--format", "aligned", "--csv-long"},
         "--csv-long goes with the csv format, not aligned"},
        {{"show", "x", "--format", "xlsx"}, "show prints aligned, csv or jsonl; a workbook is written by export"},
        {{"lookup", "--csv-long", "x"}, "--csv-long belongs to export and show"},
        {{"show", "x", "y"}, "show needs exactly one ENTRY, not 2"},
        {{"export", "x"}, "export needs -o OUT, the file to write"},
        {{"lookup", "--delay", "86400"}, "--delay expects seconds from 0 to 86399, not \"86400\""},
    };
    for (const auto& [arguments, error] : mistakes)
        EXPECT_EQ(parseCliArguments(arguments).error, error) << arguments.join(' ').toStdString();
}

// One option is meant once: given again it is refused by name, not taken last;
// --zips alone may come again. A number is taken as typed by every option that
// wants one: space around it is refused alike.
TEST(CliArgumentParsing, AnOptionGivenTwiceAndANumberWithSpaceAroundItAreRefusedAlike)
{
    const QStringList map = {"map", "--figure", "f", "-o", "a.svg", "--near", "03053"};
    const QList<QPair<QStringList, QString>> repeated = {
        {map + QStringList{"--miles", "5", "--miles", "10"}, "--miles is given more than once"},
        {map + QStringList{"--miles", "5", "--classes", "3", "--classes=4"}, "--classes is given more than once"},
        {{"lookup", "--jobs", "2", "--jobs", "2", "x"}, "--jobs is given more than once"},
        {{"export", "--source", "census", "--year", "2023", "--year", "2019", "-o", "a", "x"},
         "--year is given more than once"},
        {{"lookup", "--zips", "a", "--zips", "b"}, ""},
        {{"lookup", "--quiet", "--quiet", "x"}, ""},
    };
    for (const auto& [arguments, error] : repeated)
        EXPECT_EQ(parseCliArguments(arguments).error, error) << arguments.join(' ').toStdString();

    const struct {
        const char* text;
        bool taken;
    } kNumbers[] = {{"5", true}, {"+5", true}, {" 5", false}, {"5 ", false}, {"\t5", false}, {"5\n", false}};
    for (const auto& number : kNumbers) {
        SCOPED_TRACE(number.text);
        const CliArguments miles = parseCliArguments(map + QStringList{"--miles", number.text});
        const CliArguments classes = parseCliArguments(map + QStringList{"--miles", "1", "--classes", number.text});
        EXPECT_EQ(miles.error.isEmpty(), number.taken) << miles.error.toStdString();
        EXPECT_EQ(classes.error.isEmpty(), number.taken) << classes.error.toStdString();
        if (number.taken)
            EXPECT_EQ(std::pair(miles.nearMiles, classes.map.classes), std::pair(5.0, 5));
        EXPECT_EQ(parseCliArguments({"lookup", "--rate", number.text, "x"}).error.isEmpty(), number.taken);
    }
}

}  // namespace
}  // namespace zd::test
