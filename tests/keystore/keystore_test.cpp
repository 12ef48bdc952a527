// The key store: the private file (its modes, its atomic replacement, the
// failures that keep what was there), the fall back to it when no keyring
// answers or one never answers, and a real keyring in a D-Bus session of its own
// (RealKeyring.*, run by with-keyring.sh).
#include "keystore/censuskeystore.h"
#include "tests/support/scopedenvironment.h"
#include "tests/support/wholefile.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace zd::test {
namespace {

using namespace std::chrono_literals;

constexpr char kKey[] = "0123456789abcdef0123456789abcdef01234567";

int modeOf(const QString& path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return -1;
    return int(status.st_mode & 07777);
}

// Every file under the folder whose bytes hold the key, but the one allowed.
QStringList filesHoldingTheKey(const QString& folder, const QString& allowed = {})
{
    QStringList holding;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path != allowed && readWholeFile(path).contains(kKey))
            holding.append(path);
    }
    return holding;
}

// No session bus: the keyring cannot be reached and says so at once.
class WithoutKeyring : public ::testing::Test {
protected:
    QString keyPath() const { return m_folder.filePath(QStringLiteral("config/zipdemographics/census-api-key")); }

    QTemporaryDir m_folder;
    ScopedEnvironmentVariable m_bus{"DBUS_SESSION_BUS_ADDRESS",
                                    QByteArray("unix:path=/nonexistent/zipdemographics-test-bus")};
};

TEST_F(WithoutKeyring, TheKeyGoesToAFileOnlyItsOwnerMayReadAndComesBackFromIt)
{
    CensusKeyStore store(keyPath(), 5s);
    const KeyChange stored = store.store(QString::fromLatin1(kKey));
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    EXPECT_EQ(stored.place, KeyPlace::File);
    EXPECT_FALSE(stored.keyringSilence.isEmpty());
    EXPECT_EQ(modeOf(keyPath()), 0600);
    EXPECT_EQ(modeOf(QFileInfo(keyPath()).absolutePath()), 0700);
    EXPECT_EQ(readWholeFile(keyPath()), QByteArray(kKey) + '\n');
    // Nothing is left beside it from the replacement.
    EXPECT_EQ(QDir(QFileInfo(keyPath()).absolutePath()).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("census-api-key")});

    const StoredKey read = store.read();
    EXPECT_EQ(read.key, QString::fromLatin1(kKey));
    EXPECT_EQ(read.place, KeyPlace::File);

    // A second key replaces the first whole.
    ASSERT_TRUE(store.store(QStringLiteral("second-key")).ok);
    EXPECT_EQ(readWholeFile(keyPath()), QByteArray("second-key\n"));

    const KeyChange cleared = store.clear();
    EXPECT_TRUE(cleared.ok);
    EXPECT_TRUE(cleared.removedFile);
    EXPECT_FALSE(cleared.removedFromKeyring);
    EXPECT_FALSE(QFileInfo::exists(keyPath()));
    EXPECT_EQ(store.read().place, KeyPlace::Nowhere);
    // Clearing again finds nothing, and that is no failure.
    const KeyChange again = store.clear();
    EXPECT_TRUE(again.ok);
    EXPECT_FALSE(again.removedFile);
}

TEST_F(WithoutKeyring, AnOpenFolderIsMadePrivateAndAnObstructedOneKeepsWhatWasThere)
{
    const QString folder = QFileInfo(keyPath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    CensusKeyStore store(keyPath(), 5s);
    ASSERT_TRUE(store.store(QString::fromLatin1(kKey)).ok);
    EXPECT_EQ(modeOf(folder), 0700);

    // The folder's place taken by a file: the key cannot go there, the message
    // says why without the key, and the file is left as it was.
    const QString blocked = m_folder.filePath(QStringLiteral("blocked/zipdemographics"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(blocked).absolutePath()));
    ASSERT_TRUE(writeWholeFile(blocked, "not a folder\n"));
    CensusKeyStore obstructed(blocked + QStringLiteral("/census-api-key"), 5s);
    const KeyChange refused = obstructed.store(QString::fromLatin1(kKey));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.place, KeyPlace::Nowhere);
    EXPECT_TRUE(refused.error.contains(blocked)) << refused.error.toStdString();
    EXPECT_FALSE(refused.error.contains(QLatin1String(kKey)));
    EXPECT_EQ(readWholeFile(blocked), QByteArray("not a folder\n"));
    EXPECT_EQ(filesHoldingTheKey(m_folder.path(), keyPath()), QStringList());
}

TEST_F(WithoutKeyring, AKeyFileWithoutAKeyIsAProblemNamedAndNoKey)
{
    CensusKeyStore store(keyPath(), 5s);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(keyPath()).absolutePath()));
    for (const QByteArray& content : {QByteArray(""), QByteArray("   \n"), QByteArray("\nkey-on-line-two\n")}) {
        ASSERT_TRUE(writeWholeFile(keyPath(), content));
        const StoredKey read = store.read();
        EXPECT_TRUE(read.key.isEmpty()) << content.constData();
        EXPECT_EQ(read.place, KeyPlace::Nowhere);
        EXPECT_TRUE(read.problem.contains(QLatin1String("holds no key"))) << read.problem.toStdString();
    }
    // A pipe in its place is named, not waited on.
    ASSERT_TRUE(QFile::remove(keyPath()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(keyPath()).constData(), 0600), 0);
    const StoredKey piped = store.read();
    EXPECT_EQ(piped.place, KeyPlace::Nowhere);
    EXPECT_TRUE(piped.problem.contains(QLatin1String("not a regular file"))) << piped.problem.toStdString();
}

// Whatever the folder's mode before (0705 too: others may enter, not list), the
// key goes into it only once it is the owner's alone.
TEST_F(WithoutKeyring, TheKeyFolderIsMadeTheOwnersAloneWhateverItsModeBefore)
{
    const QString folder = QFileInfo(keyPath()).absolutePath();
    ASSERT_TRUE(QDir().mkpath(folder));
    CensusKeyStore store(keyPath(), 5s);
    for (const int mode : {0705, 0701, 0750, 0710, 0777}) {
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), mode), 0);
        ASSERT_TRUE(store.store(QString::fromLatin1(kKey)).ok);
        EXPECT_EQ(modeOf(folder), 0700) << std::oct << mode;
        EXPECT_EQ(modeOf(keyPath()), 0600) << std::oct << mode;
    }
}

// The replacement fails at its last step (a folder in the key file's place):
// the new file beside it, which holds the key, goes too.
TEST_F(WithoutKeyring, AKeyThatCannotTakeItsPlaceLeavesNoFileHoldingIt)
{
    ASSERT_TRUE(QDir().mkpath(keyPath() + QStringLiteral("/in-the-way")));
    CensusKeyStore store(keyPath(), 5s);
    const KeyChange refused = store.store(QString::fromLatin1(kKey));
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.error.startsWith("cannot write \"" + keyPath() + "\"")) << refused.error.toStdString();
    EXPECT_FALSE(refused.error.contains(QLatin1String(kKey)));
    EXPECT_EQ(filesHoldingTheKey(m_folder.path()), QStringList());
    EXPECT_EQ(QDir(QFileInfo(keyPath()).absolutePath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("census-api-key")});
}

TEST_F(WithoutKeyring, AKeyFileOthersMayReadIsUsedWithTheRemedyAndABadOneIsNamed)
{
    CensusKeyStore store(keyPath(), 5s);
    ASSERT_TRUE(store.store(QString::fromLatin1(kKey)).ok);
    ASSERT_EQ(::chmod(QFile::encodeName(keyPath()).constData(), 0644), 0);
    StoredKey read = store.read();
    EXPECT_EQ(read.key, QString::fromLatin1(kKey));
    EXPECT_TRUE(read.warning.endsWith("chmod 600 " + keyPath())) << read.warning.toStdString();
    ASSERT_TRUE(writeWholeFile(keyPath(), QByteArray(kKey) + QByteArray(1, '\0') + '\n'));
    read = store.read();
    EXPECT_EQ(read.place, KeyPlace::Nowhere);
    EXPECT_TRUE(read.problem.contains(keyPath())) << read.problem.toStdString();
    EXPECT_FALSE(read.problem.contains(QLatin1String(kKey)));
}

TEST(KeyFilePlace, ARelativeConfigHomeIsIgnoredForTheHomesConfigFolder)
{
    QTemporaryDir home;
    ScopedEnvironmentVariable homeVariable("HOME", QFile::encodeName(home.path()));
    const QString inHome = home.path() + QStringLiteral("/.config/zipdemographics/census-api-key");
    for (const char* relative : {"config", "./config", "", "~/config"}) {
        ScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", QByteArray(relative));
        EXPECT_EQ(KeyFile::defaultPath(), inHome) << relative;
    }
    ScopedEnvironmentVariable configHome("XDG_CONFIG_HOME", QFile::encodeName(home.path()) + "/elsewhere/");
    EXPECT_EQ(KeyFile::defaultPath(), home.path() + QStringLiteral("/elsewhere/zipdemographics/census-api-key"));
}

TEST(CensusKeyProblem, AKeyIsOneWordOfPrintableCharacters)
{
    EXPECT_EQ(censusKeyProblem(QString::fromLatin1(kKey)), QString());
    EXPECT_EQ(censusKeyProblem(QStringLiteral("test-key-1")), QString());
    for (const QString& bad : {QString(), QStringLiteral("two words"), QStringLiteral("tab\there"),
                               QStringLiteral("bell\a"), QStringLiteral("line\r\nbreak")}) {
        EXPECT_FALSE(censusKeyProblem(bad).isEmpty()) << bad.toStdString();
        if (!bad.isEmpty()) {
            EXPECT_FALSE(censusKeyProblem(bad).contains(bad));
        }
    }
}

// A session bus that takes the connection and never says a word: the store
// gives up on it after its patience, falls back to the file, and does not wait
// on it a second time.
class SilentBus {
public:
    explicit SilentBus(const QString& path)
    {
        m_socket = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray native = QFile::encodeName(path);
        std::strncpy(address.sun_path, native.constData(), sizeof address.sun_path - 1);
        m_listening = ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0
                      && ::listen(m_socket, 8) == 0;
    }
    ~SilentBus() { ::close(m_socket); }
    bool listening() const { return m_listening; }

private:
    int m_socket = -1;
    bool m_listening = false;
};

TEST(SilentKeyring, AKeyringThatNeverAnswersFallsBackToTheFileAndIsAskedOnce)
{
    QTemporaryDir folder;
    const QString socket = folder.filePath(QStringLiteral("bus"));
    SilentBus bus(socket);
    ASSERT_TRUE(bus.listening());
    ScopedEnvironmentVariable address("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(socket));
    const QString keyPath = folder.filePath(QStringLiteral("config/zipdemographics/census-api-key"));
    CensusKeyStore store(keyPath, 300ms);
    const KeyChange stored = store.store(QString::fromLatin1(kKey));
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    EXPECT_EQ(stored.place, KeyPlace::File);
    EXPECT_TRUE(stored.keyringSilence.contains(QLatin1String("did not answer"))) << stored.keyringSilence.toStdString();
    const StoredKey read = store.read();
    EXPECT_EQ(read.key, QString::fromLatin1(kKey));
    EXPECT_EQ(read.place, KeyPlace::File);
    EXPECT_EQ(read.keyringSilence, stored.keyringSilence);
}

// In the D-Bus session of with-keyring.sh, with gnome-keyring-daemon unlocked.
class RealKeyring : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (qEnvironmentVariable("ZD_TEST_KEYRING") != QLatin1String("1"))
            GTEST_SKIP() << "runs in the keyring's session of with-keyring.sh";
    }
    QString keyPath() const { return m_folder.filePath(QStringLiteral("config/zipdemographics/census-api-key")); }

    QTemporaryDir m_folder;
};

TEST_F(RealKeyring, TheKeyIsKeptInTheKeyringOnlyAndRemovedFromIt)
{
    CensusKeyStore store(keyPath(), 10s);
    ASSERT_TRUE(store.clear().ok);
    // A key kept in the file while no keyring answered goes once the keyring takes one.
    ASSERT_TRUE(QDir().mkpath(QFileInfo(keyPath()).absolutePath()));
    ASSERT_TRUE(writeWholeFile(keyPath(), "older-key\n"));
    const KeyChange stored = store.store(QString::fromLatin1(kKey));
    ASSERT_TRUE(stored.ok) << stored.error.toStdString();
    EXPECT_EQ(stored.place, KeyPlace::Keyring);
    EXPECT_TRUE(stored.keyringSilence.isEmpty()) << stored.keyringSilence.toStdString();
    EXPECT_TRUE(stored.removedFile);
    EXPECT_FALSE(QFileInfo::exists(keyPath()));

    const StoredKey read = CensusKeyStore(keyPath(), 10s).read();
    EXPECT_EQ(read.key, QString::fromLatin1(kKey));
    EXPECT_EQ(read.place, KeyPlace::Keyring);
    // The keyring keeps it encrypted: no file of its own holds it as text.
    EXPECT_EQ(filesHoldingTheKey(qEnvironmentVariable("XDG_DATA_HOME")), QStringList());

    const KeyChange cleared = store.clear();
    EXPECT_TRUE(cleared.ok);
    EXPECT_TRUE(cleared.removedFromKeyring);
    EXPECT_FALSE(cleared.removedFile);
    EXPECT_EQ(CensusKeyStore(keyPath(), 10s).read().place, KeyPlace::Nowhere);
}

}  // namespace
}  // namespace zd::test
