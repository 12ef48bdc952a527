// A key file as the key file's one reader takes it: the key alone on one line,
// everything else refused by name without its content, and a warning with the
// remedy for a file that others may read.
#include "core/apikeyfile.h"
#include "tests/support/wholefile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace zd::test {
namespace {

constexpr char kKey[] = "0123456789abcdef0123456789abcdef01234567";

class ApiKeyFile : public ::testing::Test {
protected:
    QString path() const { return m_folder.filePath(QStringLiteral("key")); }
    ApiKeyFileReading readWith(const QByteArray& content, int mode = 0600)
    {
        EXPECT_TRUE(writeWholeFile(path(), content));
        EXPECT_EQ(::chmod(QFile::encodeName(path()).constData(), mode), 0);
        return readApiKeyFile(path());
    }

    QTemporaryDir m_folder;
};

TEST_F(ApiKeyFile, TheKeyAloneOnItsLineIsTakenWithoutWarning)
{
    const QByteArray key(kKey);
    const QByteArray longest(kLongestApiKey, 'k');
    for (const auto& [content, expected] : {std::pair{key, key}, std::pair{key + '\n', key},
                                            std::pair{"  " + key + " \r\n\n \n", key},
                                            std::pair{"\xEF\xBB\xBF" + key + '\n', key}, std::pair{longest, longest}}) {
        const ApiKeyFileReading reading = readWith(content);
        EXPECT_EQ(reading.key, QString::fromLatin1(expected));
        EXPECT_EQ(reading.error + reading.warning, QString()) << reading.error.toStdString();
    }
}

TEST_F(ApiKeyFile, AFileThatHoldsNoUsableKeyIsRefusedByNameWithoutItsContent)
{
    QByteArray nulls("sec\0ret-key\n", 12);
    const struct {
        QByteArray content;
        const char* said;
    } cases[] = {
        {"", "holds no key on its first line"},
        {" \n secret-key\n", "holds no key on its first line"},
        {"secret-key\nsecret-two\n", "holds more than the key"},
        {nulls, "a space or a control character"},
        {"secret key\n", "a space or a control character"},
        {"secret-k\xC3\xA9y\n", "other than ASCII"},
        {QByteArray(kLongestApiKey + 1, 's') + '\n', "257 characters long"},
        {QByteArray(5000, 's'), "is 5000 bytes long"},
    };
    for (const auto& [content, said] : cases) {
        const ApiKeyFileReading reading = readWith(content);
        EXPECT_EQ(reading.key, QString()) << said;
        EXPECT_TRUE(reading.error.startsWith("the key file \"" + path() + "\"")) << reading.error.toStdString();
        EXPECT_TRUE(reading.error.contains(QLatin1String(said))) << reading.error.toStdString();
        EXPECT_FALSE(reading.error.contains("secret") || reading.error.contains("sss")) << reading.error.toStdString();
    }
}

TEST_F(ApiKeyFile, AHugeFileIsNotReadAndWhatIsNoRegularFileIsNotWaitedOn)
{
    // Ten megabytes, though a sparse file: refused for its length alone.
    ASSERT_TRUE(writeWholeFile(path(), ""));
    QFile huge(path());
    ASSERT_TRUE(huge.resize(10 * 1024 * 1024));
    EXPECT_TRUE(readApiKeyFile(path()).error.contains("is 10485760 bytes long"));

    const QString pipe = m_folder.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& odd : {pipe, m_folder.path()}) {
        const ApiKeyFileReading reading = readApiKeyFile(odd);
        EXPECT_TRUE(reading.error.endsWith("\"" + odd + "\" is not a regular file")) << reading.error.toStdString();
        EXPECT_FALSE(reading.missing);
    }
    const ApiKeyFileReading missing = readApiKeyFile(m_folder.filePath(QStringLiteral("none")));
    EXPECT_TRUE(missing.missing);
    EXPECT_TRUE(missing.error.startsWith("cannot read the key file")) << missing.error.toStdString();
}

TEST_F(ApiKeyFile, AFileOthersMayReadOrChangeIsUsedWithTheRemedy)
{
    for (const int mode : {0644, 0640, 0604, 0620, 0602}) {
        const ApiKeyFileReading reading = readWith(QByteArray(kKey) + '\n', mode);
        EXPECT_EQ(reading.key, QLatin1String(kKey)) << mode;
        EXPECT_TRUE(reading.warning.endsWith("; make it yours alone: chmod 600 " + path()))
            << reading.warning.toStdString();
        EXPECT_TRUE(reading.warning.contains(QString::number(mode, 8))) << reading.warning.toStdString();
    }
    // A path a shell would split is quoted in the remedy.
    const QString spaced = m_folder.filePath(QStringLiteral("it's a key"));
    ASSERT_TRUE(writeWholeFile(spaced, QByteArray(kKey)));
    ASSERT_EQ(::chmod(QFile::encodeName(spaced).constData(), 0644), 0);
    EXPECT_TRUE(readApiKeyFile(spaced).warning.endsWith("chmod 600 '" + m_folder.path() + "/it'\\''s a key'"));
    // An unreadable key is refused, not warned of.
    EXPECT_EQ(readWith("two words\n", 0644).warning, QString());
}

}  // namespace
}  // namespace zd::test
