#include "tests/window/windowtest.h"

#include "core/programfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace zd::test {
namespace {

// A tree laid out as cmake --install lays it out: bin/ for the program, and the
// skin and the hand pointer wherever the test puts them.
class ProgramFiles : public WindowTest {
protected:
    QString bin() const { return m_tree.filePath(QStringLiteral("bin")); }
    QString share() const { return m_tree.filePath(QStringLiteral("share/zipdemographics")); }

    void placeArtwork(const QString& folder)
    {
        const QDir artwork(programFolderWithArtwork());
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/x")));
        for (const QString& file : {QStringLiteral("x/o.cjs"), QStringLiteral("HAND-M.CUR")})
            ASSERT_TRUE(QFile::copy(artwork.filePath(file), QDir(folder).filePath(file)));
    }

    QTemporaryDir m_tree;
};

TEST_F(ProgramFiles, AnInstalledTreeFindsSkinAndPointerInItsShareFolder)
{
    ASSERT_TRUE(QDir().mkpath(bin()));
    placeArtwork(share());
    Form1& form = openWindow(bin());
    ASSERT_FALSE(form.skinFramework().callLog().isEmpty());
    EXPECT_EQ(form.skinFramework().callLog().first(),
              QStringLiteral("invoke 2 (\"%1/x/o.cjs\", \"\")").arg(share()));
    EXPECT_TRUE(form.skinFramework().isLoaded());
    EXPECT_TRUE(form.mouseIcon().has_value());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(ProgramFiles, FilesBesideTheProgramComeFirst)
{
    placeArtwork(bin());
    placeArtwork(share());
    EXPECT_EQ(findProgramFile(bin(), QStringLiteral("x/o.cjs")), bin() + QStringLiteral("/x/o.cjs"));
    EXPECT_EQ(findProgramFile(bin(), QStringLiteral("HAND-M.CUR")), bin() + QStringLiteral("/HAND-M.CUR"));
    // Anything in the file's place beside the program is taken, as before, and
    // start-up then decides what to make of it.
    ASSERT_TRUE(QFile::remove(bin() + QStringLiteral("/HAND-M.CUR")));
    ASSERT_TRUE(QDir().mkpath(bin() + QStringLiteral("/HAND-M.CUR")));
    EXPECT_EQ(findProgramFile(bin(), QStringLiteral("HAND-M.CUR")), bin() + QStringLiteral("/HAND-M.CUR"));
}

TEST_F(ProgramFiles, AFileFoundNowhereIsLookedForBesideTheProgram)
{
    ASSERT_TRUE(QDir().mkpath(bin()));
    EXPECT_EQ(findProgramFile(bin(), QStringLiteral("x/o.cjs")), bin() + QStringLiteral("/x/o.cjs"));
    EXPECT_EQ(findProgramFile(QStringLiteral("/"), QStringLiteral("HAND-M.CUR")), QStringLiteral("/HAND-M.CUR"));
    Form1& form = openWindow(bin());
    EXPECT_FALSE(form.skinFramework().isLoaded());
    EXPECT_FALSE(form.mouseIcon().has_value());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

}  // namespace
}  // namespace zd::test
