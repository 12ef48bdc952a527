// Saves whose pages do not all arrive: whatever the filter, a result file that was
// already there is kept, and the save ends with a warning that names the entries
// instead of "Done.".
#include "tests/window/windowtest.h"

#include "core/siteconfig.h"
#include "retrieval/pagefetch.h"

#include "core/windows1252.h"
#include "site/loopbackhttpserver.h"

#include <QDir>

namespace zd::test {
namespace {

class SaveFaults : public WindowTest, public ::testing::WithParamInterface<int> {
protected:
    QStringList filesInFolder() const { return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden); }
    static QString warning(int failed, const QString& names, const QString& path, bool kept)
    {
        const QString pages = failed == 1 ? QStringLiteral("The page of 1 entry could not be fetched: %1.").arg(names)
                                          : QStringLiteral("The pages of %1 entries could not be fetched: %2.")
                                                .arg(QString::number(failed), names);
        return pages + QStringLiteral("\r\n\r\n")
               + (kept ? QStringLiteral("\"%1\" was left as it was: nothing was saved.")
                       : QStringLiteral("\"%1\" was saved without the figures of those entries."))
                     .arg(path);
    }
    static QString bothSamples() { return QStringLiteral("\"03053\", \"01830\""); }
    // A name as the filter writes it, so that no extension is added to it.
    static QString named(const QString& base)
    {
        static const char* const extensions[] = {".txt", "", ".csv", ".xlsx"};
        return base + QLatin1String(extensions[GetParam() - 1]);
    }
};

TEST_P(SaveFaults, WithTheSiteStoppedAnExistingTargetKeepsItsBytesAndTheWarningNamesTheEntries)
{
    openWithTheSamplesShown();
    const QByteArray previous("Demographics\t Value\t\r\nAshbury Ferns, NH\t\t\r\n");
    const QString path = writeFile(named(QStringLiteral("result")), previous);
    const auto shownBefore = demographicsRows();
    m_site.server().stop();
    m_dialogs.queueSave(path, GetParam());
    click(2);
    EXPECT_EQ(readWholeFile(path), previous);
    EXPECT_EQ(filesInFolder(), QStringList{named(QStringLiteral("result"))});  // no temporary file
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_EQ(m_dialogs.messages().constFirst().text, warning(2, bothSamples(), path, true));
    EXPECT_EQ(m_dialogs.messages().constFirst().style, 48);
    EXPECT_EQ(state().mousePointer(), 0);
    // The aligned save shows the clicked location again: with the site down it has nothing.
    if (GetParam() >= 3) {
        EXPECT_EQ(demographicsRows(), shownBefore);
    }
}

TEST_P(SaveFaults, WithTheSiteStoppedANewFileIsWrittenAndTheWarningSaysWithoutWhat)
{
    openWithTheSamplesShown();
    const QString path = m_folder.filePath(named(QStringLiteral("new-result")));
    m_site.server().stop();
    m_dialogs.queueSave(path, GetParam());
    click(2);
    EXPECT_EQ(filesInFolder(), QStringList{named(QStringLiteral("new-result"))});
    if (GetParam() <= 2) {
        EXPECT_EQ(readWholeFile(path), QByteArray("Demographics\t Value\t\r\n"));
    } else if (GetParam() == 3) {
        EXPECT_TRUE(readWholeFile(path).contains("03053,03053,failed,"));
    }
    EXPECT_EQ(messageTexts(), QStringList{warning(2, bothSamples(), path, false)});
}

TEST_P(SaveFaults, WhenEveryPageArrivesAnExistingTargetIsReplacedAndTheSaveSaysDone)
{
    openWithTheSamplesShown();
    const QString path = writeFile(named(QStringLiteral("result")), "older result\r\n");
    m_dialogs.queueSave(path, GetParam());
    click(2);
    EXPECT_NE(readWholeFile(path), QByteArray("older result\r\n"));
    EXPECT_EQ(messageTexts(), QStringList{QStringLiteral("Done.")});
}

std::string filterName(const ::testing::TestParamInfo<int>& info)
{
    static const char* const names[] = {"Text", "AllFiles", "Csv", "Workbook"};
    return names[info.param - 1];
}

INSTANTIATE_TEST_SUITE_P(EveryFilter, SaveFaults, ::testing::Values(1, 2, 3, 4), filterName);

class SaveTimeouts : public SaveFaults {
protected:
    ~SaveTimeouts() override { setFetchTimeouts({}); }
};

TEST_F(SaveTimeouts, ASiteThatHangsOnOneEntryFailsThatEntryAlone)
{
    // The samples' pages arrive; the third entry's page never does.
    LoopbackHttpServer site([](const HttpRequest& request, HttpConnection& connection) {
        const QString zip = QString::fromLatin1(request.queryValue("zip"));
        if (zip == QLatin1String("55501"))
            connection.stall(std::chrono::milliseconds(2500));
        else
            connection.sendResponse(200, encodeWindows1252(placePageHtml(zip, locationName(zip))));
    });
    ASSERT_TRUE(site.listen());
    openWithTheSamplesShown();
    setDemographicsHostOverride(QString::fromLatin1(site.hostAndPort()));
    state().locationList().addRow(QStringLiteral("55501"));
    const QString path = writeFile(QStringLiteral("result.csv"), "older result\r\n");
    setFetchTimeouts({1, 1});
    m_dialogs.queueSave(path, 3);
    click(2);
    EXPECT_EQ(readWholeFile(path), QByteArray("older result\r\n"));
    EXPECT_EQ(messageTexts(), QStringList{warning(1, QStringLiteral("\"55501\""), path, true)});
}

}  // namespace
}  // namespace zd::test
