// The window on the census source: names from the place table, a location's
// figures fetched once, the source and year in the title, the notice in Help,
// the settings from the environment, and the API's refusals in a box.
#include "tests/window/censuswindowtest.h"

#include "census/censussource.h"
#include "commands/censusenvironment.h"
#include "commands/startupcheck.h"
#include "commands/helpmessage.h"
#include "core/besideeventloop.h"
#include "core/applicationtitle.h"
#include "core/siteconfig.h"
#include "export/alignedlayout.h"
#include "tests/support/clirun.h"
#include "tests/support/scopedenvironment.h"
#include "tests/support/wholefile.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace zd::test {
namespace {

using CensusWindow = CensusWindowTest;

constexpr char kRefusedKey[] = "refused-key-0042";

class CensusWindowRefusingAKey : public CensusWindowTest {
protected:
    CensusWindowRefusingAKey() : CensusWindowTest({"--refuse-key", kRefusedKey}) {}
};

class SlowCensusWindow : public CensusWindowTest {
protected:
    SlowCensusWindow() : CensusWindowTest({"--latency", "400"}) { setWorkRunsBesideEventLoop(true); }
    ~SlowCensusWindow() override { setWorkRunsBesideEventLoop(false); }
};

TEST_F(CensusWindow, NamesComeFromThePlaceTableWithoutARequest)
{
    openCensusWindow();
    click(5);
    m_dialogs.queueInput(QStringLiteral("00000"));
    click(6);
    m_dialogs.queueOpen(writeFile(QStringLiteral("zips.txt"), "02134\r\n 90210 \r\n\r\n0305\r\nabcde\r\n"));
    click(3);
    EXPECT_EQ(texts(state().locationList(), 2),
              QStringList({"Londonderry, NH", "Haverhill, MA", "ZCTA5 00000", "Allston, MA", "Beverly Hills, CA",
                           "Blank line.", "Zip is not 5 digits", "Zip code not found."}));
    EXPECT_EQ(texts(state().zipList()), texts(state().locationList()));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(requests(), QByteArrayList());
    EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
}

TEST_F(CensusWindow, AClickFetchesTheLocationOnceAndShowsWhatTheCommandLineShows)
{
    const ChildRun shown = runCli({"show", "--source", "census", "03053"},
                                  {{{"ZIPDEMOGRAPHICS_CENSUS_URL", apiAddress()}, {"CENSUS_API_KEY", "test-key-1"}}});
    ASSERT_EQ(shown.exitCode, 0) << shown.err.constData();
    const qsizetype before = requests().size();
    openCensusWindow();
    click(5);
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year");

    showLocation(1);
    // The newest year is found by stepping back, once; then one request for the figures.
    const QByteArrayList first = requests().mid(before);
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first[0], QByteArray("/data/2024/acs/acs5/profile/variables.json?key=***"));
    EXPECT_EQ(first[1], QByteArray("/data/2023/acs/acs5/profile/variables.json?key=***"));
    EXPECT_TRUE(first[2].startsWith("/data/2023/acs/acs5/profile?get=")) << first[2].constData();
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year 2023");
    EXPECT_EQ(alignedText(state().demographicsList()).toUtf8(), shown.out);
    EXPECT_EQ(demographicsRows().constFirst(), qMakePair(QStringLiteral("Londonderry, NH"), QString()));

    showLocation(1);
    EXPECT_EQ(alignedText(state().demographicsList()).toUtf8(), shown.out);
    showLocation(2);
    EXPECT_EQ(demographicsRows().constFirst().first, QStringLiteral("Haverhill, MA"));
    showLocation(2);
    showLocation(1);
    // One more for 01830; none for a location shown before, nor for the year.
    const QByteArrayList all = requests().mid(before);
    ASSERT_EQ(all.size(), 4);
    EXPECT_TRUE(all[3].contains("zip%20code%20tabulation%20area:01830")) << all[3].constData();
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
}

TEST_F(CensusWindow, AZipCodeWithoutFiguresSaysSoAndAnEntryThatIsNoZipCodeShowsNothing)
{
    CensusSettings keyed;
    keyed.key = QStringLiteral("test-key-1");
    openCensusWindow(keyed);
    m_dialogs.queueOpen(writeFile(QStringLiteral("zips.txt"), "90210\r\nabcde\r\n"));
    click(3);
    const QList<QPair<QString, QString>> noFigures{
        {QStringLiteral("The Census Bureau has no figures for 90210 (no ZIP Code Tabulation Area)"), QString()}};
    for (const int position : {1, 2, 1}) {
        showLocation(position);
        const QList<QPair<QString, QString>> shown = position == 1 ? noFigures : QList<QPair<QString, QString>>();
        EXPECT_EQ(demographicsRows(), shown) << position;
        if (position == 1)
            expectWholeNote(1);
    }
    EXPECT_EQ(dataRequests(), 1);  // the API lacks 90210, and is asked once; abcde asks nothing
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(CensusWindow, AYearTheApiLacksLeavesTheTitleOnceTheApiHasSaidSo)
{
    CensusSettings missing;
    missing.year = 2030;
    missing.key = QStringLiteral("test-key-1");
    openCensusWindow(missing);
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year 2030");
    click(5);
    showLocation(1);
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains("no ACS 5-year data profile for 2030"));
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year");
    showLocation(1);
    EXPECT_FALSE(window().windowTitle().contains("2030"));

    // A failure of another kind says nothing about the year, which stays.
    CensusSettings unreachable = missing;
    unreachable.year = 2022;
    unreachable.baseUrl = QStringLiteral("http://127.0.0.1:1");
    openCensusWindow(unreachable);
    click(5);
    showLocation(1);
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year 2022");
}

TEST_F(CensusWindow, TheTitleNamesAFixedYearFromTheStartAndTheSiteTitleStaysAsItWas)
{
    CensusSettings fixed;
    fixed.year = 2021;
    openCensusWindow(fixed);
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year 2021");
    click(5);
    showLocation(1);
    EXPECT_EQ(requests().constFirst(), QByteArray("/data/2021/acs/acs5/profile/variables.json?key=***"));
    EXPECT_EQ(window().windowTitle(), productTitle() + " - Census Bureau ACS 5-year 2021");
    EXPECT_EQ(applicationTitle(), shortenedApplicationTitle(productTitle()));

    openWindow();
    EXPECT_EQ(window().windowTitle(), productTitle());
}

TEST_F(CensusWindow, HelpAddsTheCensusBureausNotice)
{
    openCensusWindow();
    click(1);
    openWindow();
    click(1);
    ASSERT_EQ(m_dialogs.messages().size(), 2);
    EXPECT_EQ(m_dialogs.messages()[0].text,
              "This software uses the Census Bureau's American Community Survey 5-year estimates (Census "
              "Data API) as the source database to retrieve results.\r\n\r\nPlease email "
                  + supportEmail()
                  + " if you have any questions.\r\n\r\nThis product uses the Census Bureau Data API but is not "
                    "endorsed or certified by the Census Bureau.");
    EXPECT_EQ(m_dialogs.messages()[1].text, helpMessageText());
    EXPECT_EQ(m_dialogs.messages()[0].style, m_dialogs.messages()[1].style);
}

TEST_F(CensusWindow, AYearOrAVariableTheApiLacksOrNoConnectionIsABoxAndShowsNothing)
{
    CensusSettings unknownYear;
    unknownYear.year = 2031;
    CensusSettings unknownVariable;
    CensusVariable unknown;
    unknown.id = QStringLiteral("DP99_0001E");
    unknownVariable.variables = {unknown};
    unknownVariable.userVariables = true;
    CensusSettings nowhere;
    nowhere.baseUrl = QStringLiteral("http://127.0.0.1:1");
    const struct {
        CensusSettings settings;
        const char* said;
    } cases[] = {{unknownYear, "no ACS 5-year data profile for 2031"},
                 {unknownVariable, "DP99_0001E"},
                 {nowhere, "cannot read the Census API's list of variables"}};
    for (const auto& [settings, said] : cases) {
        SCOPED_TRACE(said);
        m_dialogs.clearRecords();
        openCensusWindow(settings);
        click(5);
        showLocation(1);
        EXPECT_TRUE(demographicsRows().isEmpty());
        ASSERT_EQ(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith("The Census Bureau's figures could not be fetched: "));
        const QString text = m_dialogs.messages()[0].text;
        EXPECT_TRUE(text.contains(QLatin1String(said))) << text.toStdString();
        EXPECT_EQ(m_dialogs.messages()[0].style, kMessageExclamation);
        EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
        // Nothing was kept from the refusal: the next click asks again.
        showLocation(1);
        EXPECT_EQ(m_dialogs.messages().size(), 2);
    }
}

TEST_F(CensusWindowRefusingAKey, ARefusedKeyIsABoxThatNeverShowsTheKey)
{
    CensusSettings settings;
    settings.key = QString::fromLatin1(kRefusedKey);
    openCensusWindow(settings);
    click(5);
    showLocation(1);
    EXPECT_TRUE(demographicsRows().isEmpty());
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains("refused the key"));
    EXPECT_FALSE(m_dialogs.messages()[0].text.contains(QLatin1String(kRefusedKey)));
    // Another key was asked for first, and Cancel answered.
    ASSERT_EQ(m_dialogs.keyPrompts().size(), 1);
    EXPECT_TRUE(m_dialogs.keyPrompts()[0].startsWith("The Census Data API refused the key."));
    EXPECT_FALSE(m_dialogs.keyPrompts()[0].contains(QLatin1String(kRefusedKey)));
    EXPECT_FALSE(window().windowTitle().contains(QLatin1String(kRefusedKey)));
    // The key went out with the first request, the variable list's; its refusal ended the fetch.
    EXPECT_EQ(requestsFor("key=***"), 1);
    EXPECT_EQ(requests().size(), 1);
    EXPECT_FALSE(readWholeFile(m_log).contains(kRefusedKey));
}

// The key question comes back, a text that cannot be a key asked again, and
// the new key fetches the figures and the total, kept for the next start.
TEST_F(CensusWindowRefusingAKey, ARefusedKeyAsksForAnotherWhichIsUsedAndKeptWhenAskedTo)
{
    QTemporaryDir config;
    ScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    ScopedEnvironmentVariable bus("DBUS_SESSION_BUS_ADDRESS", QByteArray("unix:path=/nonexistent/test-bus"));
    CensusSettings settings;
    settings.key = QString::fromLatin1(kRefusedKey);
    openCensusWindow(settings);
    click(5);
    m_dialogs.queueKey(QStringLiteral("two words"), true);
    m_dialogs.queueKey(QStringLiteral(" new-key-0043 "), true);
    showLocation(1);
    EXPECT_EQ(demographicsRows().value(0).first, QStringLiteral("Londonderry, NH"));
    ASSERT_EQ(m_dialogs.keyPrompts().size(), 2);
    EXPECT_TRUE(m_dialogs.keyPrompts()[1].startsWith("The key holds a space")) << m_dialogs.keyPrompts()[1].toStdString();
    const QString keyFile = config.filePath(QStringLiteral("zipdemographics/census-api-key"));
    EXPECT_EQ(readWholeFile(keyFile), QByteArray("new-key-0043\n"));
    // The one box says where the key went, since no keyring answered.
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(keyFile));

    // The session goes on with the new key: nothing more is asked.
    showLocation(2);
    EXPECT_EQ(demographicsRows().value(0).first, QStringLiteral("Haverhill, MA"));
    window().ListView2_ShowTotal();
    EXPECT_EQ(demographicsRows().value(0).first, QStringLiteral("total of 2 ZIP Code Tabulation Areas"));
    EXPECT_EQ(m_dialogs.keyPrompts().size(), 2);
    EXPECT_EQ(m_dialogs.messages().size(), 1);
}

TEST_F(CensusWindowRefusingAKey, TheTotalAsksForAnotherKeyToo)
{
    CensusSettings settings;
    settings.key = QString::fromLatin1(kRefusedKey);
    openCensusWindow(settings);
    click(5);
    m_dialogs.queueKey(QStringLiteral("new-key-0044"), false);
    window().ListView2_ShowTotal();
    EXPECT_EQ(m_dialogs.keyPrompts().size(), 1);
    EXPECT_EQ(demographicsRows().value(0).first, QStringLiteral("total of 2 ZIP Code Tabulation Areas"));
    EXPECT_TRUE(m_dialogs.messages().isEmpty()) << messageTexts().join('\n').toStdString();
}

TEST_F(SlowCensusWindow, AClosePutDuringTheApisAnswerEndsTheProgramThere)
{
    openCensusWindow().show();
    click(5);
    bool closedDuringTheFetch = false;
    QTimer::singleShot(150, qApp, [&] {
        window().close();
        closedDuringTheFetch = isWaitingBesideEventLoop();
    });
    showLocation(1);
    EXPECT_EQ(m_endProgramCalls, 1);
    EXPECT_TRUE(closedDuringTheFetch);
}

TEST(CensusEnvironment, TheWindowTakesTheCommandLinesSettingsAndRefusesABadOneAtStart)
{
    ScopedEnvironmentVariable source("ZIPDEMOGRAPHICS_SOURCE", QByteArray("census"));
    ScopedEnvironmentVariable url("ZIPDEMOGRAPHICS_CENSUS_URL", QByteArray("http://127.0.0.1:8080"));
    ScopedEnvironmentVariable year("ZIPDEMOGRAPHICS_CENSUS_YEAR", QByteArray("2022"));
    ScopedEnvironmentVariable key("CENSUS_API_KEY", QByteArray(" secret-key-77 \n"));
    ScriptedDialogs dialogs;
    std::shared_ptr<CensusSession> session;
    ASSERT_TRUE(confirmUsableStartSettings(dialogs, {}, session, nullptr));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->settings().baseUrl, QStringLiteral("http://127.0.0.1:8080"));
    EXPECT_EQ(session->settings().year, 2022);
    EXPECT_EQ(session->settings().key, QStringLiteral("secret-key-77"));
    EXPECT_TRUE(dialogs.messages().isEmpty());

    std::FILE* errors = std::tmpfile();
    ASSERT_NE(errors, nullptr);
    for (const auto& [name, value] : {std::pair{"ZIPDEMOGRAPHICS_CENSUS_URL", "http://api.example.org"},
                                      std::pair{"ZIPDEMOGRAPHICS_CENSUS_YEAR", "1999"}}) {
        ScopedEnvironmentVariable bad(name, QByteArray(value));
        std::shared_ptr<CensusSession> refused;
        EXPECT_FALSE(confirmUsableStartSettings(dialogs, {}, refused, errors)) << name;
        EXPECT_FALSE(refused);
    }
    std::rewind(errors);
    char line[512];
    ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
    EXPECT_TRUE(QByteArray(line).startsWith("zipdemographics: ZIPDEMOGRAPHICS_CENSUS_URL \"http://api.example.org\" "
                                            "cannot be the Census API's address: plain http://"))
        << line;
    ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
    EXPECT_TRUE(QByteArray(line).startsWith("zipdemographics: ZIPDEMOGRAPHICS_CENSUS_YEAR expects a year")) << line;
    std::fclose(errors);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("ZIPDEMOGRAPHICS_CENSUS_URL \"http://api.example.org\""));
    EXPECT_EQ(dialogs.messages()[1].style, kMessageExclamation);
    for (const ScriptedDialogs::Message& message : dialogs.messages())
        EXPECT_FALSE(message.text.contains("secret-key-77"));

    ScopedEnvironmentVariable site("ZIPDEMOGRAPHICS_SOURCE", QByteArray("site"));
    std::shared_ptr<CensusSession> none;
    EXPECT_TRUE(confirmUsableStartSettings(dialogs, {}, none, nullptr));
    EXPECT_FALSE(none);
}

}  // namespace
}  // namespace zd::test
