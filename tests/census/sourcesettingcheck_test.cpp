#include "census/sourcesettingcheck.h"

#include "core/scripteddialogs.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(SourceSettingCheck, TheWindowStartsWithTheSiteAndRefusesAnythingElseInABox)
{
    ScriptedDialogs dialogs;
    for (const char* usable : {"", "site"}) {
        qputenv("ZIPDEMOGRAPHICS_SOURCE", usable);
        EXPECT_TRUE(confirmUsableSourceSetting(dialogs)) << usable;
    }
    EXPECT_TRUE(dialogs.messages().isEmpty());

    qputenv("ZIPDEMOGRAPHICS_SOURCE", "acs");
    EXPECT_FALSE(confirmUsableSourceSetting(dialogs));
    qputenv("ZIPDEMOGRAPHICS_SOURCE", "census");
    EXPECT_FALSE(confirmUsableSourceSetting(dialogs));
    qunsetenv("ZIPDEMOGRAPHICS_SOURCE");
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("ZIPDEMOGRAPHICS_SOURCE \"acs\" names no source"));
    EXPECT_TRUE(dialogs.messages()[1].text.contains("zipdemographics-cli (--source census)"));
    EXPECT_EQ(dialogs.messages()[1].style, kMessageExclamation);
}

}  // namespace
}  // namespace zd
