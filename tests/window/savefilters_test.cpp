// The save dialog's filters choose the file's format: the two text filters write
// the aligned file as ever, "CSV Files" and "Excel Workbooks" write those formats.
#include "tests/window/windowtest.h"

#include "core/windows1252.h"
#include "tests/support/realreaders.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonObject>

namespace zd::test {
namespace {

class SaveFilters : public WindowTest {
protected:
    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }
    QString target(const QString& name) { return m_folder.filePath(name); }

    // The two sample locations listed, the second one shown, the records cleared.
    void listTheSamples()
    {
        openWithTheSamplesShown();
        m_requestsBefore = m_site.requestCount();
    }

    // The aligned file of the samples, as the save command has always written it.
    static QByteArray alignedSamples()
    {
        QString text = QStringLiteral("Demographics               \t Value\t\r\n");
        for (const QString& zip : {QStringLiteral("03053"), QStringLiteral("01830")}) {
            for (const auto& [name, value] : expectedRows(zip).rows)
                text += name.leftJustified(27) + '\t' + value.leftJustified(6) + QStringLiteral("\t\r\n");
        }
        return encodeWindows1252(text);
    }

    qsizetype m_requestsBefore = 0;
};

TEST_F(SaveFilters, BothTextFiltersWriteTheAlignedFileWithTheSameFetchesAndMessages)
{
    for (const int filter : {1, 2}) {
        SCOPED_TRACE(filter);
        listTheSamples();
        const QString path = target(QStringLiteral("filter%1").arg(filter));
        m_dialogs.queueSave(path, filter);
        click(2);
        EXPECT_EQ(contents(path), alignedSamples());
        EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
        // Three fetches per location, then the restoring click's three.
        EXPECT_EQ(m_site.requestCount() - m_requestsBefore, 9);
        EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0, 11, 0}));
    }
}

TEST_F(SaveFilters, CsvFilterWritesOneRowPerLocationThatPythonReadsBack)
{
    if (const QString missing = pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    listTheSamples();
    const auto before = demographicsRows();
    m_dialogs.queueSave(target(QStringLiteral("all")), 3);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    EXPECT_EQ(m_site.requestCount() - m_requestsBefore, 2);  // one fetch per location
    EXPECT_EQ(m_pointerHistory, (QList<int>{11, 0}));
    EXPECT_EQ(demographicsRows(), before);
    EXPECT_FALSE(QFile::exists(target(QStringLiteral("all"))));  // the filter's extension was added

    const char* const readCsv = R"(
import csv, json, sys
with open(sys.argv[1], newline='', encoding='utf-8') as f:
    print(json.dumps(list(csv.reader(f))))
)";
    const QJsonArray rows = runPythonForJson(readCsv, {target(QStringLiteral("all.csv"))}).array();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], QJsonArray({"entry", "zip", "status", "location", "Population", "MedianAge",
                                   "household income Under $25k"}));
    EXPECT_EQ(rows[1], QJsonArray({"03053", "03053", "found", "Ashbury Ferns, NH", "12,453", "33", "153"}));
    EXPECT_EQ(rows[2], QJsonArray({"01830", "01830", "found", "Coldwater Mills, MA", "12,430", "30", "130"}));
}

TEST_F(SaveFilters, WorkbookFilterWritesAWorkbookWithZipCodesAsText)
{
    if (const QString missing = pythonMissing({"openpyxl"}); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    listTheSamples();
    m_dialogs.queueSave(target(QStringLiteral("all.xlsx")), 4);
    click(2);
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
    const char* const readBook = R"(
import json, sys, openpyxl
book = openpyxl.load_workbook(sys.argv[1])
print(json.dumps([[c.value for c in row] for row in book['Demographics'].iter_rows()]))
)";
    const QJsonArray rows = runPythonForJson(readBook, {target(QStringLiteral("all.xlsx"))}).array();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[1], QJsonArray({"03053", "03053", "found", "Ashbury Ferns, NH", 12453, 33, 153}));
    EXPECT_EQ(rows[2].toArray()[1], "01830");
}

TEST_F(SaveFilters, TheTableFiltersAddTheirExtensionOnlyWhenNoneWasTyped)
{
    const struct {
        int filter;
        const char* typed;
        const char* written;
    } cases[] = {{3, "results", "results.csv"}, {4, "results", "results.xlsx"},
                 {3, "results.dat", "results.dat"}, {4, "book.XLSX", "book.XLSX"},
                 {1, "plain", "plain"}, {2, "everything", "everything"}};
    for (const auto& [filter, typed, written] : cases) {
        SCOPED_TRACE(typed);
        listTheSamples();
        m_dialogs.queueSave(target(QLatin1String(typed)), filter);
        click(2);
        EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
        EXPECT_TRUE(QFile::exists(target(QLatin1String(written))));
        if (QLatin1String(typed) != QLatin1String(written)) {
            EXPECT_FALSE(QFile::exists(target(QLatin1String(typed))));
        }
    }
}

TEST_F(SaveFilters, AWorkbookThatCannotBeWrittenShowsTheCommandsErrorBoxAndNoDone)
{
    listTheSamples();
    const auto before = demographicsRows();
    m_dialogs.queueSave(target(QStringLiteral("no-such-folder/all.xlsx")), 4);
    click(2);
    EXPECT_EQ(messageTexts(),
              QStringList{errorBox(QStringLiteral("Form1.PushButton2_Click"), 138, QStringLiteral("Path not found"))});
    EXPECT_EQ(demographicsRows(), before);
    EXPECT_EQ(state().mousePointer(), 0);
}

}  // namespace
}  // namespace zd::test
