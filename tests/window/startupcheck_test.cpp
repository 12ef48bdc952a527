// The desktop program's one check of its settings at start: the first that
// cannot be used is named on the error stream and in a warning box, in the words
// each setting has always had, and the program does not go on.
#include "commands/censussession.h"
#include "commands/startupcheck.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/scopedenvironment.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zd::test {
namespace {

// Every setting the check reads, unset, and a key so that no key store is asked.
class StartupCheck : public ::testing::Test {
protected:
    // The check's answer, with what it wrote on the error stream.
    bool check(const WindowArguments& arguments = {})
    {
        std::FILE* errors = std::tmpfile();
        EXPECT_NE(errors, nullptr);
        const bool usable = confirmUsableStartSettings(m_dialogs, arguments, m_session, errors);
        std::rewind(errors);
        m_errorLines.clear();
        char line[1024];
        while (std::fgets(line, sizeof line, errors))
            m_errorLines.append(QString::fromLocal8Bit(line));
        std::fclose(errors);
        return usable;
    }

    ScriptedDialogs m_dialogs;
    std::shared_ptr<CensusSession> m_session;
    QStringList m_errorLines;
    ScopedEnvironmentVariable m_site{"ZIPDEMOGRAPHICS_SITE", std::nullopt};
    ScopedEnvironmentVariable m_source{"ZIPDEMOGRAPHICS_SOURCE", std::nullopt};
    ScopedEnvironmentVariable m_year{"ZIPDEMOGRAPHICS_CENSUS_YEAR", std::nullopt};
    ScopedEnvironmentVariable m_url{"ZIPDEMOGRAPHICS_CENSUS_URL", std::nullopt};
    ScopedEnvironmentVariable m_key{"CENSUS_API_KEY", QByteArray("test-key-1")};
};

Setting option(const char* name, const char* value) { return Setting{value, name}; }

TEST_F(StartupCheck, TheDesktopProgramNamesABadSiteAndDoesNotGoOn)
{
    ScopedEnvironmentVariable site("ZIPDEMOGRAPHICS_SITE", QByteArray("127.0.0.1:8080/path"));
    EXPECT_FALSE(check());
    ASSERT_EQ(m_errorLines.size(), 1);
    const std::string written = m_errorLines[0].toStdString();
    EXPECT_TRUE(written.starts_with(
        "zipdemographics: the site \"127.0.0.1:8080/path\" from ZIPDEMOGRAPHICS_SITE cannot be used: it holds"))
        << written;
    EXPECT_TRUE(written.ends_with("; correct or remove ZIPDEMOGRAPHICS_SITE\n")) << written;
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith(
        "The site \"127.0.0.1:8080/path\" from ZIPDEMOGRAPHICS_SITE cannot be used: it holds \"/\""));
    EXPECT_EQ(m_dialogs.messages()[0].style, kMessageExclamation);

    for (const char* usable : {"", "[::1]:8080"}) {
        ScopedEnvironmentVariable good("ZIPDEMOGRAPHICS_SITE", QByteArray(usable));
        EXPECT_TRUE(check()) << usable;
    }
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

TEST_F(StartupCheck, TheWindowStartsWithEitherSourceAndRefusesAnythingElseInABox)
{
    for (const char* usable : {"", "site", "census"}) {
        ScopedEnvironmentVariable source("ZIPDEMOGRAPHICS_SOURCE", QByteArray(usable));
        EXPECT_TRUE(check()) << usable;
        EXPECT_EQ(bool(m_session), QByteArray(usable) == "census") << usable;
    }
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    QStringList lines;
    for (const char* refused : {"acs", "Census"}) {
        ScopedEnvironmentVariable source("ZIPDEMOGRAPHICS_SOURCE", QByteArray(refused));
        EXPECT_FALSE(check()) << refused;
        lines += m_errorLines;
    }
    // Each refusal is one line on the error stream as well, without a display.
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("zipdemographics: ZIPDEMOGRAPHICS_SOURCE \"acs\" names no source")) << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith("zipdemographics: ZIPDEMOGRAPHICS_SOURCE \"Census\" names no source"))
        << lines[1].toStdString();
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith("ZIPDEMOGRAPHICS_SOURCE \"acs\" names no source"));
    EXPECT_TRUE(m_dialogs.messages()[1].text.endsWith(
        "Correct or remove ZIPDEMOGRAPHICS_SOURCE, then start the program again."));
    EXPECT_EQ(m_dialogs.messages()[1].style, kMessageExclamation);
}

// Each kind of refusal whole, as the user reads it: the line on the error
// stream, and the box with what to do.
TEST_F(StartupCheck, EachRefusalSaysWhatIsWrongAndWhatToDoInItsOwnWords)
{
    struct Case {
        const char* variable;
        const char* value;
        WindowArguments arguments;
        QString line;
        QString box;
    };
    const QString again = QStringLiteral(", then start the program again.");
    const Case cases[] = {
        {"ZIPDEMOGRAPHICS_SITE", "h:0", {},
         "the site \"h:0\" from ZIPDEMOGRAPHICS_SITE cannot be used: the port \"0\" is not a number from 1 to "
         "65535 (expected HOST, HOST:PORT or [IPV6]:PORT); correct or remove ZIPDEMOGRAPHICS_SITE",
         "The site \"h:0\" from ZIPDEMOGRAPHICS_SITE cannot be used: the port \"0\" is not a number from 1 to "
         "65535 (expected HOST, HOST:PORT or [IPV6]:PORT).\r\n\r\nCorrect or remove ZIPDEMOGRAPHICS_SITE" + again},
        {"ZIPDEMOGRAPHICS_SOURCE", "census", {{}, "--year needs a value: a year"},
         "--year needs a value: a year", "--year needs a value: a year.\r\n\r\nCorrect it" + again},
        {"ZIPDEMOGRAPHICS_SOURCE", "site", {{option("--source", "acs"), {}}, {}},
         "--source \"acs\" names no source: it is site or census",
         "--source \"acs\" names no source: it is site or census.\r\n\r\nCorrect or remove it" + again},
        {"ZIPDEMOGRAPHICS_SOURCE", "site", {{{}, option("--year", "2022")}, {}},
         "--year goes with the census source (--source census)",
         "--year goes with the census source (--source census).\r\n\r\nCorrect or remove it" + again},
        {"ZIPDEMOGRAPHICS_CENSUS_URL", "https://", {{option("--source", "census"), {}}, {}},
         "ZIPDEMOGRAPHICS_CENSUS_URL \"https://\" cannot be the Census API's address: it is not an address such "
         "as https://api.census.gov",
         "ZIPDEMOGRAPHICS_CENSUS_URL \"https://\" cannot be the Census API's address: it is not an address such "
         "as https://api.census.gov.\r\n\r\nCorrect or remove it" + again},
    };
    for (const Case& refused : cases) {
        ScopedEnvironmentVariable setting(refused.variable, QByteArray(refused.value));
        m_dialogs.clearRecords();
        EXPECT_FALSE(check(refused.arguments)) << refused.line.toStdString();
        EXPECT_EQ(m_errorLines, QStringList{"zipdemographics: " + refused.line + "\n"});
        ASSERT_EQ(m_dialogs.messages().size(), 1) << refused.line.toStdString();
        EXPECT_EQ(m_dialogs.messages()[0].text, refused.box);
        EXPECT_FALSE(m_session);
    }
}

TEST_F(StartupCheck, OnlyTheFirstBadSettingIsNamedAndASessionHeldBeforeIsDropped)
{
    ScopedEnvironmentVariable source("ZIPDEMOGRAPHICS_SOURCE", QByteArray("census"));
    ASSERT_TRUE(check({{{}, option("--year", "2022")}, {}}));
    ASSERT_TRUE(m_session);
    EXPECT_EQ(m_session->settings().year, 2022);
    EXPECT_EQ(m_session->settings().key, QStringLiteral("test-key-1"));

    // The site, then the window's own options, then the source, then the address before the year.
    ScopedEnvironmentVariable site("ZIPDEMOGRAPHICS_SITE", QByteArray("[::1"));
    ScopedEnvironmentVariable url("ZIPDEMOGRAPHICS_CENSUS_URL", QByteArray("ftp://127.0.0.1"));
    const WindowArguments badYear{{{}, option("--year", "20")}, {}};
    EXPECT_FALSE(check({badYear.options, "--source needs a value: site or census"}));
    EXPECT_FALSE(m_session);
    {
        ScopedEnvironmentVariable goodSite("ZIPDEMOGRAPHICS_SITE", std::nullopt);
        EXPECT_FALSE(check({badYear.options, "--source needs a value: site or census"}));
        EXPECT_FALSE(check(badYear));
    }
    ASSERT_EQ(m_dialogs.messages().size(), 3);
    EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith("The site \"[::1\""));
    EXPECT_TRUE(m_dialogs.messages()[1].text.startsWith("--source needs a value"));
    EXPECT_TRUE(m_dialogs.messages()[2].text.startsWith("ZIPDEMOGRAPHICS_CENSUS_URL \"ftp://127.0.0.1\""));
}

}  // namespace
}  // namespace zd::test
