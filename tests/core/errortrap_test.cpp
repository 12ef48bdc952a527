#include "core/apperror.h"
#include "core/applicationpointer.h"
#include "core/errortrap.h"
#include "tests/support/scripteddialogs.h"
#include "core/siteconfig.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace zd;

namespace {
const QString kProcedure = QStringLiteral("in Tamberlin2021/08/31.Form1.PushButton5_Click ");

void failDeepDown() { throw AppError(errors::subscriptOutOfRange()); }
void untrappedMiddle(int& reached)
{
    failDeepDown();
    ++reached;  // abandoned with the failure
}
}  // namespace

TEST(ErrorMessage, HasDescriptionProcedureLineAndRequestInExactLayout)
{
    const QString expected = QStringLiteral("Subscript out of range\r\n"
                                            "in Tamberlin2021/08/31.Form1.Form_Load at line 104"
                                            "\r\rPlease email screenshot of this message to ")
                             + supportEmail();
    EXPECT_EQ(composeErrorMessage(QStringLiteral("in Tamberlin2021/08/31.Form1.Form_Load "), 104,
                                  errors::subscriptOutOfRange()),
              expected);
}

TEST(ErrorMessage, EmptyDescriptionLeavesTheFirstLineEmpty)
{
    EXPECT_TRUE(composeErrorMessage(kProcedure, 100, QString()).startsWith("\r\nin Tamberlin"));
}

TEST(ErrorTrap, EachFailureGivesOneBoxAndTheProcedureGoesOn)
{
    ScriptedDialogs dialogs;
    ErrorTrap trap(dialogs, kProcedure);
    int reached = 0;
    QStringList ran;
    trap.run(100, [&] { ran << "100"; });
    trap.run(102, [&] { untrappedMiddle(reached); });
    trap.run(104, [&] { ran << "104"; });
    trap.run(106, [&] { throw AppError(errors::fileNotFound()); });
    trap.run(108, [&] { ran << "108"; });

    EXPECT_EQ(ran, (QStringList{"100", "104", "108"}));
    EXPECT_EQ(reached, 0);
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[0].text, composeErrorMessage(kProcedure, 102, "Subscript out of range"));
    EXPECT_EQ(dialogs.messages()[1].text, composeErrorMessage(kProcedure, 106, "File not found"));
    for (const auto& message : dialogs.messages()) {
        EXPECT_EQ(message.title, "Application Error");
        EXPECT_EQ(message.style, 48);
    }
    EXPECT_EQ(trap.failureCount(), 2);
}

TEST(ErrorTrap, AFailingTestResumesInsideTheStepItGuards)
{
    ScriptedDialogs dialogs;
    ErrorTrap trap(dialogs, kProcedure);
    EXPECT_TRUE(trap.test(110, [] () -> bool { throw AppError(errors::subscriptOutOfRange()); }));
    EXPECT_FALSE(trap.test(112, [] { return false; }));
    EXPECT_EQ(trap.lastFailedLine(), 110);
    EXPECT_EQ(dialogs.messages().size(), 1);
}

TEST(ErrorTrap, ForeignExceptionsAreReportedWithTheirText)
{
    ScriptedDialogs dialogs;
    ErrorTrap trap(dialogs, kProcedure);
    trap.run(100, [] { throw std::runtime_error("broken"); });
    trap.run(102, [] { throw std::bad_alloc(); });
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith("broken\r\n"));
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith("Out of memory\r\n"));
}

TEST(ApplicationPointer, BusyScopeRestoresAlsoWhenAFailurePassesThrough)
{
    int shown = 0;
    int restored = 0;
    ApplicationPointer::installHandlers([&] { ++shown; }, [&] { ++restored; });
    try {
        BusyPointerScope busy;
        EXPECT_EQ(ApplicationPointer::busyDepth(), 1);
        throw AppError(errors::subscriptOutOfRange());
    } catch (const AppError&) {
    }
    EXPECT_EQ(ApplicationPointer::busyDepth(), 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(restored, 1);
    ApplicationPointer::installHandlers({}, {});
}

TEST(SiteConfig, OverrideThenEnvironmentThenBuiltIn)
{
    qunsetenv("ZIPDEMOGRAPHICS_SITE");
    EXPECT_EQ(demographicsHost(), builtInDemographicsHost());
    qputenv("ZIPDEMOGRAPHICS_SITE", "127.0.0.1:8080");
    EXPECT_EQ(demographicsHost(), "127.0.0.1:8080");
    setDemographicsHostOverride("127.0.0.1:9");
    EXPECT_EQ(demographicsHost(), "127.0.0.1:9");
    setDemographicsHostOverride(QString());
    qunsetenv("ZIPDEMOGRAPHICS_SITE");
}
