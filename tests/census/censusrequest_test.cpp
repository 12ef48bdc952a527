#include "census/censusrequest.h"

#include <gtest/gtest.h>

#include <QSet>

namespace zd {
namespace {

QStringList numbered(const QString& pattern, int count, int first = 1)
{
    QStringList items;
    for (int i = first; i < first + count; ++i)
        items.append(pattern.arg(i, 4, 10, QChar('0')));
    return items;
}

TEST(CensusRequest, AddressForOneZctaHasTheFormOfTheApisDocumentation)
{
    // The documented form: https://api.census.gov/data/2022/acs/acs5/profile
    //   ?get=DP05_0001E,DP03_0062E&for=zip%20code%20tabulation%20area:03053
    EXPECT_EQ(censusDataUrl("https://api.census.gov", 2022, {"DP05_0001E", "DP03_0062E"}, {"03053"}),
              "https://api.census.gov/data/2022/acs/acs5/profile?get=DP05_0001E,DP03_0062E"
              "&for=zip%20code%20tabulation%20area:03053");
    EXPECT_EQ(censusVariablesUrl("http://127.0.0.1:8080/", 2023),
              "http://127.0.0.1:8080/data/2023/acs/acs5/profile/variables.json");
}

TEST(CensusRequest, VariablesGoInChunksOfFiftyAndZctasShareOneRequest)
{
    CensusRequestPlan plan{"https://api.census.gov", 2023, numbered("DP05_%1E", 120), {"03053", "01830", "90210"}};
    const QStringList addresses = plan.addresses();
    ASSERT_EQ(addresses.size(), 3);
    EXPECT_EQ(plan.variableChunks()[0].size(), 50);
    EXPECT_EQ(plan.variableChunks()[2].size(), 20);
    for (const QString& address : addresses)
        EXPECT_TRUE(address.endsWith("area:03053,01830,90210")) << address.toStdString();
}

TEST(CensusRequest, ManyZctasAreSplitIntoAddressesWithinTheLimitAndNoneIsLost)
{
    CensusRequestPlan plan{"https://api.census.gov", 2023, numbered("DP03_%1E", 41), numbered("1%1", 500)};
    plan.longestAddress = 1000;
    QSet<QString> asked;
    const QStringList addresses = plan.addresses();
    EXPECT_GE(addresses.size(), 6);
    for (const QString& address : addresses) {
        EXPECT_LE(address.size(), 1000);
        for (const QString& zcta : address.section(':', -1).split(','))
            asked.insert(zcta);
    }
    EXPECT_EQ(asked.size(), 500);
    plan.longestAddress = 8000;
    EXPECT_EQ(plan.addresses().size(), 1);
}

// The ZCTAs of each address, in order.
QList<QStringList> zctasOfAddresses(const CensusRequestPlan& plan)
{
    QList<QStringList> chunks;
    for (const QString& address : plan.addresses())
        chunks.append(address.section(':', -1).split(','));
    return chunks;
}

// A chunk takes every ZCTA that fits to the byte: an address exactly at the limit
// holds one more than an address one byte short of it, and across the chunks
// each ZCTA is asked for exactly once, in the list's order.
TEST(CensusRequest, ChunksFillToTheByteAndAskForEachZctaExactlyOnce)
{
    const QStringList zctas = numbered("1%1", 40);
    CensusRequestPlan plan{"https://api.census.gov", 2023, {"DP05_0001E"}, zctas};
    const qsizetype fixed = censusDataUrl(plan.baseUrl, plan.year, plan.variables, {}).size();
    for (const int perChunk : {1, 2, 3, 7, 13}) {
        for (const qsizetype slack : {0, 1, 5}) {
            // perChunk ZCTAs of five digits and their commas, and no byte to spare.
            plan.longestAddress = fixed + perChunk * 6 - 1 + slack;
            const QList<QStringList> chunks = zctasOfAddresses(plan);
            QStringList asked;
            for (qsizetype c = 0; c < chunks.size(); ++c) {
                asked += chunks[c];
                if (c + 1 < chunks.size())
                    EXPECT_EQ(chunks[c].size(), perChunk) << perChunk << " +" << slack;
            }
            EXPECT_EQ(asked, zctas) << perChunk << " +" << slack;
            for (const QString& address : plan.addresses())
                EXPECT_LE(address.size(), plan.longestAddress);
        }
    }
    plan.longestAddress = fixed + 4;  // not even one fits: each still gets an address of its own
    EXPECT_EQ(zctasOfAddresses(plan).size(), zctas.size());
}

TEST(CensusRequest, ALongListAsksForEveryZctaOncePerVariableChunk)
{
    CensusRequestPlan plan{"https://api.census.gov", 2023, numbered("DP02_%1E", 82), numbered("2%1", 2000)};
    const QStringList addresses = plan.addresses();
    ASSERT_EQ(addresses.size(), 2);
    for (const QString& address : addresses)
        EXPECT_TRUE(address.endsWith("area:*"));
    plan.zctas.clear();
    EXPECT_TRUE(plan.addresses().isEmpty());
}

TEST(CensusRequest, TheKeyIsEncodedForTheAddressAndRedactedInAnyText)
{
    const QString key = "k3y&with/odd=chars";
    EXPECT_EQ(censusKeySuffix(key), "&key=k3y%26with%2Fodd%3Dchars");
    EXPECT_EQ(censusKeySuffix(""), "");
    const QString shown = redactCensusKey("GET /data?get=X" + censusKeySuffix(key) + " and " + key, key);
    EXPECT_FALSE(shown.contains("k3y"));
    EXPECT_EQ(shown, "GET /data?get=X&key=*** and ***");
    EXPECT_EQ(redactCensusKey("nothing to hide", ""), "nothing to hide");
}

// Only the key is starred: never a piece of another word, whatever the key's length.
TEST(CensusRequest, RedactionStarsTheKeyAndLeavesEveryOtherWordWhole)
{
    const struct {
        const char* key;
        const char* text;
        const char* shown;
    } cases[] = {
        {"a", "a request failed at /data?get=X&key=a: a timeout", "a request failed at /data?get=X&key=***: a timeout"},
        {"a", "/variables.json?key=a", "/variables.json?key=***"},
        {"a", "key=abc stays", "key=abc stays"},
        {"key4", "monkey4ever said key4 at ?key=key4&for=x", "monkey4ever said key4 at ?key=***&for=x"},
        {"0123456789abcdef", "x0123456789abcdefy, 0123456789abcdef.", "x0123456789abcdefy, ***."},
    };
    for (const auto& [key, text, shown] : cases)
        EXPECT_EQ(redactCensusKey(QString::fromLatin1(text), QString::fromLatin1(key)), QLatin1String(shown)) << text;
}

}  // namespace
}  // namespace zd
