// The files of one export of the sample site's list, in every format, equal to
// the bytes kept in data/formats/ (written by make-expected.sh there). Pages
// arrive in any order and results go out as they come; the bytes stay the same.
#include "tests/support/clirun.h"
#include "tests/support/realreaders.h"
#include "tests/support/siteprocess.h"
#include "tests/support/wholefile.h"

#include <QJsonArray>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

const QString kFormats = QStringLiteral(ZD_CLI_TEST_DATA "/formats/");

class FormatBaseline : public ::testing::TestWithParam<const char*> {
protected:
    ChildRun exportTo(const QString& name, const QStringList& extra = {})
    {
        return runCli(QStringList{"export", "--site", m_site.host(), "--rate", "0", "--jobs",
                                                       GetParam(), "--retries", "0", "--quiet", "--zips",
                                                       kFormats + "samples.txt", "-o", m_folder.filePath(name)}
                                               + extra);
    }

    SiteProcess m_site{{"--every-zip"}};
    QTemporaryDir m_folder;
};

TEST_P(FormatBaseline, EveryFormatGivesTheKeptBytes)
{
    const ChildRun aligned = exportTo("r.txt");
    EXPECT_EQ(aligned.exitCode, 1);
    EXPECT_EQ(aligned.err, readWholeFile(kFormats + "expected.err"));
    EXPECT_EQ(readWholeFile(m_folder.filePath("r.txt")), readWholeFile(kFormats + "expected.txt"));
    const QList<std::pair<QString, QStringList>> tables = {
        {"expected.csv", {}}, {"expected-long.csv", {"--csv-long"}}, {"expected.jsonl", {}}};
    for (const auto& [name, extra] : tables) {
        SCOPED_TRACE(name.toStdString());
        const QString out = name.endsWith(".csv") ? "r.csv" : "r.jsonl";
        EXPECT_EQ(exportTo(out, extra).err, aligned.err);
        EXPECT_EQ(readWholeFile(m_folder.filePath(out)), readWholeFile(kFormats + name));
    }
    if (const QString missing = pythonMissing(); !missing.isEmpty())
        GTEST_SKIP() << missing.toStdString();
    EXPECT_EQ(exportTo("r.xlsx").err, aligned.err);
    // The workbook holds the time of the run; its sheet of results does not.
    const char* const readSheet = R"(
import json, sys, zipfile
print(json.dumps([zipfile.ZipFile(sys.argv[1]).read('xl/worksheets/sheet1.xml').decode('utf-8')]))
)";
    const QJsonArray sheet = runPythonForJson(readSheet, {m_folder.filePath("r.xlsx")}).array();
    EXPECT_EQ(sheet[0].toString().toUtf8(), readWholeFile(kFormats + "expected-sheet1.xml"));
}

INSTANTIATE_TEST_SUITE_P(Jobs, FormatBaseline, ::testing::Values("1", "16"));

}  // namespace
}  // namespace zd::test
