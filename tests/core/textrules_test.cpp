// The rules for text from outside at their edges: the numbers a spreadsheet
// reads as numbers, where a line's own controls end, what XML cannot hold and
// where a cut falls. Every door together is tested in tests/doors.
#include "core/cuttext.h"
#include "core/escapedcontrols.h"
#include "core/formulatext.h"
#include "core/xmltext.h"

#include <gtest/gtest.h>

namespace zd {
namespace {

TEST(TextRules, OnlyAPlainNumberMayStartWithASignInASpreadsheetCell)
{
    for (const char* number : {"-2.5", "+3", "-$1,204.5", "-0.1%", "-1e-7", "-19,756"})
        EXPECT_EQ(inertFormulaText(number), number) << number;
    for (const char* formula : {"-", "+", "@", "=1", "-1+1", "-1,23", "-2.5 years", "--2", "- 2", "\t1", "\r1"})
        EXPECT_EQ(inertFormulaText(formula), QStringLiteral("'") + formula) << formula;
    for (const char* text : {"", "Springfield, =IL", " =1", "'=1"})
        EXPECT_EQ(inertFormulaText(text), text) << text;
}

TEST(TextRules, LaidOutTextKeepsItsTabsAndLineEndsButNoLoneCarriageReturn)
{
    EXPECT_EQ(escapedControlsKeepingLines("a\tb\r\nc\nd\re\x1b[2J\r"), "a\tb\r\nc\nd\\x0de\\x1b[2J\\x0d");
    EXPECT_EQ(escapedControls("a\tb\r\n"), "a\\x09b\\x0d\\x0a");
    EXPECT_EQ(escapedControlBytes(QString::fromUtf8("a\x1b\u009b\u202e\x7f")), QString::fromUtf8("a\\x1b\u009b\u202e\\x7f"));
    EXPECT_EQ(escapedControls(QString::fromUtf8("\u202eexe\u2066\u200f")), QString::fromUtf8("\\u202eexe\\u2066\u200f"));
}

TEST(TextRules, XmlKeepsWhatItCanHoldAndEscapesItsMarkup)
{
    const QString pair = QString::fromUtf8("\U0001F600");
    EXPECT_EQ(xmlCharacters(QStringLiteral("a\x01\tb") + QChar(0xFFFE) + QChar(0xD800) + pair + QChar(0xDC00) + "\n"),
              QStringLiteral("a\tb") + pair + "\n");
    EXPECT_EQ(xmlEscaped("]]></title>&'\""), "]]&gt;&lt;/title&gt;&amp;&#39;&quot;");
}

TEST(TextRules, ACutTextFitsWithItsMarkAndKeepsPairsWhole)
{
    EXPECT_EQ(cutToLength("abc", 3), "abc");
    const QString cut = cutToLength(QString(40, 'x'), 20);
    EXPECT_EQ(cut.size(), 20);
    EXPECT_TRUE(cut.endsWith(kCutMark));
    const QString pairs = QString::fromUtf8("\U0001F600").repeated(20);
    // Room for 21 units before the mark: the 21st would be half a pair.
    const QString cutPairs = cutToLength(pairs, 21 + kCutMark.size());
    EXPECT_EQ(cutPairs, pairs.left(20) + kCutMark);
}

}  // namespace
}  // namespace zd
