// The one rule for the site setting, whether it comes from --site or from
// ZIPDEMOGRAPHICS_SITE.
#include "core/siteconfig.h"

#include "tests/support/scopedenvironment.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

using test::ScopedEnvironmentVariable;

TEST(SiteSetting, HostsPortsAndBracketedIpv6AddressesAreUsable)
{
    for (const char* value : {"h", "h:1", "127.0.0.1:65535", "zipdemographics.example.net",
                              "my_host-2.example:08080", "[::1]", "[::1]:8080",
                              "[2001:db8::7]:80", "[::]", "[2001:DB8:0:0:0:0:0:7]",
                              "[::ffff:127.0.0.1]:8080", "\xc3\xa9t\xc3\xa9.example"})
        EXPECT_EQ(siteValueProblem(QString::fromUtf8(value)), "") << value;
}

TEST(SiteSetting, EachUnusableValueIsRefusedWithItsReason)
{
    const QList<QPair<QString, QString>> refused = {
        {"", "it is empty"},
        {"127.0.0.1:99999", "the port \"99999\" is not a number from 1 to 65535"},
        {"127.0.0.1:notaport", "the port \"notaport\" is not a number from 1 to 65535"},
        {"h:", "the port \"\" is not a number from 1 to 65535"},
        {"h:0", "the port \"0\" is not a number from 1 to 65535"},
        {"h:+80", "the port \"+80\" is not a number from 1 to 65535"},
        {":8080", "the host is missing before the port"},
        {"::1", "an IPv6 address goes in brackets, as in [::1]:8080"},
        {"[::1]:8080:9", "the port \"8080:9\" is not a number from 1 to 65535"},
        {"[::1", "the IPv6 address lacks its closing \"]\""},
        {"[::1]8080", "only \":PORT\" may follow the IPv6 address in brackets"},
        {"[example.net]:80", "\"[example.net]\" is not an IPv6 address"},
        // Only what is an IPv6 address passes, not any run of hex digits and colons.
        {"[:]", "\"[:]\" is not an IPv6 address"},
        {"[::::::::::]:80", "\"[::::::::::]\" is not an IPv6 address"},
        {"[]", "\"[]\" is not an IPv6 address"},
        {"[::1::2]", "\"[::1::2]\" is not an IPv6 address"},
        {"[1:2:3:4:5:6:7:8:9]", "\"[1:2:3:4:5:6:7:8:9]\" is not an IPv6 address"},
        {"[12345::1]", "\"[12345::1]\" is not an IPv6 address"},
        {"[::1.2.3]", "\"[::1.2.3]\" is not an IPv6 address"},
        {"[127.0.0.1]", "\"[127.0.0.1]\" is not an IPv6 address"},
        {"[fe80::1%25eth0]", "\"[fe80::1%25eth0]\" is not an IPv6 address"},
        {"127.0.0.1:8080/path",
         "it holds \"/\"; give the host and port alone, without \"http://\" or a path"},
        {"user@host", "it holds \"@\"; give the host and port alone, without \"http://\" or a path"},
        {"a b", "it holds a space or a control character"},
        {"h\t", "it holds a space or a control character"},
        {"host,name", "the host \"host,name\" holds \",\""},
    };
    for (const auto& [value, reason] : refused)
        EXPECT_EQ(siteValueProblem(value), reason) << value.toStdString();
}

TEST(SiteSetting, TheMessageNamesTheValueAndWhereItCameFrom)
{
    EXPECT_EQ(readSiteSetting(Setting{"h:1", "--site"}).error, "");
    ScopedEnvironmentVariable bad("ZIPDEMOGRAPHICS_SITE", QByteArray("::1"));
    const SettingReading<std::optional<QString>> site = readSiteSetting(std::nullopt);
    EXPECT_EQ(site.error,
              "the site \"::1\" from ZIPDEMOGRAPHICS_SITE cannot be used: an IPv6 address goes in "
              "brackets, as in [::1]:8080 (expected HOST, HOST:PORT or [IPV6]:PORT)");
    EXPECT_FALSE(site.value);
}

// The one reader of --site and ZIPDEMOGRAPHICS_SITE: the option comes first,
// even when the environment's value could not be used; neither leaves the
// built-in host.
TEST(SiteSetting, TheOptionComesBeforeTheEnvironmentAndNeitherMeansTheBuiltInHost)
{
    ScopedEnvironmentVariable unset("ZIPDEMOGRAPHICS_SITE", std::nullopt);
    EXPECT_EQ(readSiteSetting(std::nullopt).value, std::nullopt);
    EXPECT_EQ(readSiteSetting(std::nullopt).error, "");
    {
        ScopedEnvironmentVariable empty("ZIPDEMOGRAPHICS_SITE", QByteArray(""));
        EXPECT_EQ(readSiteSetting(std::nullopt).value, std::nullopt);
    }
    ScopedEnvironmentVariable site("ZIPDEMOGRAPHICS_SITE", QByteArray("a b"));
    EXPECT_EQ(readSiteSetting(Setting{"[::1]:8080", "--site"}).value, QStringLiteral("[::1]:8080"));
    EXPECT_EQ(readSiteSetting(Setting{"[::1]:8080", "--site"}).error, "");
    EXPECT_TRUE(readSiteSetting(std::nullopt).error.startsWith("the site \"a b\" from ZIPDEMOGRAPHICS_SITE"));
    // An empty option is the user's word, not an absent one.
    EXPECT_EQ(readSiteSetting(Setting{"", "--site"}).error,
              "the site \"\" from --site cannot be used: it is empty (expected HOST, HOST:PORT or [IPV6]:PORT)");
}

}  // namespace
}  // namespace zd
