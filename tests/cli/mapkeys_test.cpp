// map with the census source under each source of the key: CENSUS_API_KEY,
// --census-key-file, the file of the stored key, and the desktop's keyring (in
// the D-Bus session of tests/keystore/with-keyring.sh). The look-up of a stored
// key must not keep the map from being drawn, as an SVG or a PNG. The sample
// site's imitation of the API answers no request without a key, so a map drawn
// is one whose key was sent.
#include "keystore/censuskeystore.h"
#include "tests/support/clirun.h"
#include "tests/support/siteprocess.h"
#include "tests/support/svgshapes.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>

namespace zd::test {
namespace {

const QString kKey = QStringLiteral("ab12cd34ef56ab12cd34ef56ab12cd34ef56ab12");

class MapKeySources : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_folder.filePath(name); }

    // The options of a run whose key comes from nowhere but `changes`: the
    // stored key's file is the test's own, and no keyring answers (see
    // childEnvironment) unless `keyring`, when it is this process's.
    ChildOptions keyedBy(QList<EnvironmentChange> changes, bool keyring = false) const
    {
        changes.append({"ZIPDEMOGRAPHICS_CENSUS_URL", "http://" + m_site.host()});
        changes.append({"XDG_CONFIG_HOME", path("config")});
        if (keyring)
            changes.append({"DBUS_SESSION_BUS_ADDRESS", qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS")});
        return {changes};
    }

    // Draws 03053 and 01830 into OUT of each format; both must be there, whole.
    void expectDrawn(const ChildOptions& options, const QStringList& extra = {})
    {
        for (const QString& name : {QStringLiteral("map.svg"), QStringLiteral("map.png")}) {
            SCOPED_TRACE(name.toStdString());
            QFile::remove(path(name));
            const ChildRun run = runCli(QStringList{"map", "--source", "census", "--rate", "0", "--retries", "0",
                                                    "--figure", "Median age", "03053", "01830", "-o", path(name)}
                                            + extra,
                                        options);
            EXPECT_EQ(run.exitCode, 0) << run.err.constData();
            EXPECT_FALSE(run.err.contains("QGuiApplication")) << run.err.constData();
            EXPECT_FALSE(run.err.contains(kKey.toUtf8()));
            if (name.endsWith(".svg")) {
                EXPECT_EQ(readSvgShapes(readWholeFile(path(name))).sortedFilledCircles().size(), 2);
            } else {
                QImage image;
                EXPECT_TRUE(image.load(path(name), "PNG"));
                EXPECT_EQ(image.width(), 1600);
            }
        }
    }

    QTemporaryDir m_folder;
    SiteProcess m_site;
};

TEST_F(MapKeySources, TheEnvironmentAKeyFileOrTheStoredFileDrawTheMap)
{
    expectDrawn(keyedBy({{"CENSUS_API_KEY", kKey}}));

    ASSERT_TRUE(writeWholeFile(path("key.txt"), kKey.toUtf8() + '\n'));
    expectDrawn(keyedBy({}), {"--census-key-file", path("key.txt")});

    const QString stored = path("config/zipdemographics/census-api-key");
    QString error;
    ASSERT_TRUE(KeyFile(stored).write(kKey, error)) << error.toStdString();
    expectDrawn(keyedBy({}));
}

// In the D-Bus session of with-keyring.sh, with gnome-keyring-daemon unlocked.
class MapKeyring : public MapKeySources {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("ZD_TEST_KEYRING") != QLatin1String("1"))
            GTEST_SKIP() << "runs in the keyring's session of with-keyring.sh";
    }
};

TEST_F(MapKeyring, TheKeyringsKeyDrawsTheMap)
{
    using namespace std::chrono_literals;
    CensusKeyStore store(path("config/zipdemographics/census-api-key"), 10s);
    const KeyChange stored = store.store(kKey);
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    ASSERT_EQ(stored.place, KeyPlace::Keyring) << stored.keyringSilence.toStdString();
    expectDrawn(keyedBy({}, true));
    EXPECT_TRUE(store.clear().removedFromKeyring);
}

}  // namespace
}  // namespace zd::test
