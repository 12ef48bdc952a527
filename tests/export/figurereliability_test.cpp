// A figure's coefficient of variation and reliability word, and an entry's note
// (a total's): kept through a results table on disk, written by JSON Lines in
// the margin's object and the entry, and shown by the workbook (low figures
// shaded, the notes on the About sheet).
#include "export/jsonlwriter.h"
#include "export/resultstable.h"
#include "export/workbookwriter.h"
#include "tests/support/realreaders.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

Figure rated(const QString& label, const QString& value, const QString& margin, const QString& cv,
             const QString& word)
{
    Figure figure{label, value, margin};
    figure.cv = cv;
    figure.reliability = word;
    return figure;
}

EntryResult total()
{
    EntryResult entry{"total", QString(), EntryStatus::Found, QStringLiteral("total of 2 ZIP Code Tabulation Areas"),
                      {rated("Total population", "52,855", "8,815", "10.1%", "high"),
                       rated("Race: Asian alone", "120", "95", "48.1%", "low"),
                       rated("Race: some other race alone", "0", "27", "", ""),
                       {"Median age", "", QString()}},
                      std::nullopt};
    entry.note = QStringLiteral("no total for Median age (medians cannot be added)");
    return entry;
}

TEST(FigureReliability, TheCvWordAndNoteComeBackFromATableOnDiskAndTheJsonLine)
{
    QTemporaryDir folder;
    ResultsTable table;
    QString error;
    ASSERT_TRUE(table.keepOnDisk(folder.filePath("out.jsonl"), error)) << error.toStdString();
    table.append(EntryResult{"03053", "03053", EntryStatus::Found, QStringLiteral("Londonderry, NH"),
                             {{"Total population", "43,171", "8,771"}}, std::nullopt});
    table.append(total());
    QList<EntryResult> back;
    table.forEachEntry([&](const EntryResult& entry, const QList<int>&) {
        back.append(entry);
        return true;
    });
    ASSERT_EQ(back.size(), 2);
    EXPECT_TRUE(back[0].note.isEmpty());
    EXPECT_TRUE(back[0].figures[0].cv.isEmpty());
    EXPECT_EQ(back[1].note, total().note);
    EXPECT_EQ(back[1].figures[1].cv, "48.1%");
    EXPECT_EQ(back[1].figures[1].reliability, "low");
    EXPECT_EQ(back[1].figures[3].margin, QString());

    const QJsonObject line = QJsonDocument::fromJson(entryJsonLine(back[1], {})).object();
    EXPECT_EQ(line["note"], total().note);
    const QJsonArray figures = line["figures"].toArray();
    EXPECT_EQ(figures[1]["moe"]["cv"], "48.1%");
    EXPECT_EQ(figures[1]["moe"]["reliability"], "low");
    EXPECT_EQ(figures[1]["moe"]["number"], 95);
    // A zero estimate has no CV and no word: neither key is written.
    EXPECT_FALSE(figures[2]["moe"].toObject().contains("cv"));
    EXPECT_FALSE(figures[2]["moe"].toObject().contains("reliability"));
    // The line is what Qt's own compact JSON makes of it: keys sorted, nothing lost.
    EXPECT_EQ(entryJsonLine(back[1], {}), QJsonDocument(line).toJson(QJsonDocument::Compact));
    EXPECT_FALSE(entryJsonLine(back[0], {}).contains("\"note\""));
}

constexpr const char* kReadShading = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
sheet = book["Demographics"]
shaded = [c.coordinate for row in sheet.iter_rows() for c in row if c.fill.fill_type == "solid"]
about = [list(r) for r in book["About"].iter_rows(values_only=True)]
print(json.dumps({"shaded": shaded, "about": about, "b3": sheet["E2"].value}))
)";

TEST(FigureReliability, TheWorkbookShadesLowFiguresAndKeysThemOnTheAboutSheet)
{
    const QString missing = test::pythonMissing({"openpyxl"});
    if (!missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    QTemporaryDir folder;
    ResultsTable table;
    table.append(total());
    RunInfo run{QStringLiteral("site"), QDateTime::currentDateTimeUtc(), QStringLiteral("0")};
    run.notes = {QStringLiteral("Figures of low reliability are shaded."), QStringLiteral("Total: no total")};
    ASSERT_TRUE(writeWorkbook(table, folder.filePath("out.xlsx"), run).written);
    const QJsonObject book = test::runPythonForJson(kReadShading, {folder.filePath("out.xlsx")}).object();
    // Columns: entry, zip, status, location, then the figures: the Asian alone count is F.
    EXPECT_EQ(book["shaded"].toArray(), QJsonArray({"F2"}));
    EXPECT_EQ(book["b3"].toDouble(), 52855);
    QStringList notes;
    for (const QJsonValue row : book["about"].toArray()) {
        if (row[0] == "Note")
            notes.append(row[1].toString());
    }
    EXPECT_EQ(notes, run.notes);
}

}  // namespace
}  // namespace zd
