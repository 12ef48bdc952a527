#include "census/sourcesettingcheck.h"

#include "tests/support/scripteddialogs.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace zd {
namespace {

TEST(SourceSettingCheck, TheWindowStartsWithEitherSourceAndRefusesAnythingElseInABox)
{
    ScriptedDialogs dialogs;
    for (const char* usable : {"", "site", "census"}) {
        qputenv("ZIPDEMOGRAPHICS_SOURCE", usable);
        EXPECT_TRUE(confirmUsableSourceSetting(dialogs, nullptr)) << usable;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());

    std::FILE* errors = std::tmpfile();
    ASSERT_NE(errors, nullptr);
    qputenv("ZIPDEMOGRAPHICS_SOURCE", "acs");
    EXPECT_FALSE(confirmUsableSourceSetting(dialogs, errors));
    qputenv("ZIPDEMOGRAPHICS_SOURCE", "Census");
    EXPECT_FALSE(confirmUsableSourceSetting(dialogs, errors));
    qunsetenv("ZIPDEMOGRAPHICS_SOURCE");
    // Each refusal is one line on the error stream as well, without a display.
    std::rewind(errors);
    char line[512];
    ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
    EXPECT_TRUE(QByteArray(line).startsWith("zipdemographics: ZIPDEMOGRAPHICS_SOURCE \"acs\" names no source"))
        << line;
    ASSERT_NE(std::fgets(line, sizeof line, errors), nullptr);
    EXPECT_TRUE(QByteArray(line).startsWith("zipdemographics: ZIPDEMOGRAPHICS_SOURCE \"Census\" names no source"))
        << line;
    EXPECT_EQ(std::fgets(line, sizeof line, errors), nullptr);
    std::fclose(errors);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("ZIPDEMOGRAPHICS_SOURCE \"acs\" names no source"));
    EXPECT_TRUE(dialogs.messages()[1].text.endsWith("Correct or remove ZIPDEMOGRAPHICS_SOURCE, then start the program again."));
    EXPECT_EQ(dialogs.messages()[1].style, kMessageExclamation);
}

}  // namespace
}  // namespace zd
