#include "census/jsonarrayscan.h"

#include <QByteArrayList>
#include <gtest/gtest.h>

namespace zd {
namespace {

struct Scanned {
    ArrayScan scan;
    QByteArrayList elements;
};

Scanned scanned(const QByteArray& text, qsizetype stopAfter = -1)
{
    Scanned result{ArrayScan::Whole, {}};
    result.scan = scanJsonArray(text, [&](QByteArrayView element) {
        result.elements.append(element.toByteArray());
        return result.elements.size() != stopAfter;
    });
    return result;
}

TEST(JsonArrayScan, EachElementEndsWhereItsStringsAndNestingSayNotAtTheFirstBracket)
{
    const Scanned rows = scanned(R"( [ ["a]","b\"],[",null] ,
        {"k":["]"]}, "x\\", 12.5e3 ,true,[] ] )");
    EXPECT_EQ(rows.scan, ArrayScan::Whole);
    EXPECT_EQ(rows.elements, QByteArrayList({R"(["a]","b\"],[",null])", R"({"k":["]"]})", R"("x\\")", "12.5e3",
                                             "true", "[]"}));
    EXPECT_EQ(scanned("[]").scan, ArrayScan::Whole);
    EXPECT_TRUE(scanned(" [ ] \n").elements.isEmpty());
    const Scanned stopped = scanned(R"([["a"],["b"],["c"]])", 2);
    EXPECT_EQ(stopped.scan, ArrayScan::Stopped);
    EXPECT_EQ(stopped.elements.size(), 2);
}

TEST(JsonArrayScan, TextThatIsNoWholeArrayIsSaidToBeNone)
{
    for (const char* text : {"", "  ", "{}", R"("a")", "[", R"([["a"],["b")", R"([["a"],["b"])", R"([["a"] ["b"]])",
                             R"([["a"],])", "[,]", R"([["a"]] x)", R"([["a"]]])", R"(["unended])"}) {
        EXPECT_EQ(scanned(text).scan, ArrayScan::NotAnArray) << text;
    }
}

}  // namespace
}  // namespace zd
