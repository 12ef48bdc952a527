// The line rules of zip list files, over real files read in blocks of every size
// and over whole buffers.
#include "core/apperror.h"
#include "tests/support/unprivilegedscope.h"
#include "tests/ziplist/ziplisttestsupport.h"
#include "ziplist/ziplistreader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace zd {
namespace {

QStringList readAll(ZipListFileReader& reader)
{
    QStringList entries;
    QString entry;
    while (reader.nextEntry(entry))
        entries.append(entry);
    return entries;
}

QStringList readFile(const QString& path, qsizetype blockSize = ZipListFileReader::kDefaultBlockSize)
{
    ZipListFileReader reader(path, blockSize);
    return readAll(reader);
}

struct LineRuleCase {
    const char* name;
    QByteArray bytes;
    QStringList entries;
};

void PrintTo(const LineRuleCase& rule, std::ostream* out) { *out << rule.name; }

class LineRules : public ::testing::TestWithParam<LineRuleCase> {
protected:
    QTemporaryDir m_folder;
};

TEST_P(LineRules, WholeBufferGivesTheEntries)
{
    EXPECT_EQ(splitZipListEntries(GetParam().bytes), GetParam().entries);
}

TEST_P(LineRules, FileGivesTheSameEntriesWhateverTheBlockSize)
{
    const QString path = test::writeFile(m_folder.filePath(QStringLiteral("zips.txt")), GetParam().bytes);
    ASSERT_FALSE(path.isEmpty());
    // Small blocks put every CR LF pair across a block boundary somewhere.
    for (const qsizetype blockSize : {qsizetype(1), qsizetype(2), qsizetype(3), qsizetype(5),
                                      ZipListFileReader::kDefaultBlockSize})
        EXPECT_EQ(readFile(path, blockSize), GetParam().entries) << "block size " << blockSize;
}

const QString kEmpty;

INSTANTIATE_TEST_SUITE_P(
    ZipListReader, LineRules,
    ::testing::Values(
        LineRuleCase{"EmptyFileGivesNoEntries", "", {}},
        LineRuleCase{"CrLfFileGivesNoTrailingEntry", "03053\r\n01830\r\n", {"03053", "01830"}},
        LineRuleCase{"LfOnlyFileGivesTrailingEmptyEntry", "03053\n01830\n", {"03053", "01830", kEmpty}},
        LineRuleCase{"NoLineEndAfterLastLine", "03053\r\n01830", {"03053", "01830"}},
        LineRuleCase{"CrOnlyLineEnds", "03053\r01830\r", {"03053", "01830"}},
        LineRuleCase{"CrOnlyWithoutFinalEnd", "03053\r01830", {"03053", "01830"}},
        LineRuleCase{"MixedLineEnds", "a\r\nb\nc\rd\r\ne", {"a", "b", "c", "d", "e"}},
        LineRuleCase{"BlankLineBetweenZipCodes", "03053\r\n\r\n01830\r\n", {"03053", kEmpty, "01830"}},
        LineRuleCase{"BlankLinesWithLfOnly", "a\n\nb\n", {"a", kEmpty, "b", kEmpty}},
        LineRuleCase{"LoneLfGivesTwoEmptyEntries", "\n", {kEmpty, kEmpty}},
        LineRuleCase{"LoneCrGivesOneEmptyEntry", "\r", {kEmpty}},
        LineRuleCase{"LoneCrLfGivesOneEmptyEntry", "\r\n", {kEmpty}},
        LineRuleCase{"TwoCrsGiveTwoEmptyEntries", "\r\r", {kEmpty, kEmpty}},
        LineRuleCase{"LfBeforeCrKeepsTheEmptyPiece", "a\n\rb", {"a", kEmpty, "b"}},
        LineRuleCase{"LfBeforeCrLfKeepsTheEmptyPiece", "a\n\r\n", {"a", kEmpty}},
        LineRuleCase{"LfAfterCrLfStartsALineOfItsOwn", "a\r\n\nb", {"a", kEmpty, "b"}},
        LineRuleCase{"OnlyOneLfIsDroppedAfterCr", "a\r\n\n", {"a", kEmpty, kEmpty}},
        LineRuleCase{"EntriesAreTakenWhole", "03053, 01830 \r\n\t03755  \r\n", {"03053, 01830 ", "\t03755  "}},
        LineRuleCase{"NulByteStaysInTheEntry", QByteArray("a\0b\r\n", 5), {QString("a") + QChar(0) + "b"}},
        // A byte-order mark chooses the encoding and is no part of the first entry.
        LineRuleCase{"Utf8MarkIsDropped", "\xEF\xBB\xBF" "03053\r\nZ\xC3\xBCrich\r\n",
                     {"03053", QString::fromUtf8("Z\u00FCrich")}},
        LineRuleCase{"Utf8MarkAloneGivesNoEntries", "\xEF\xBB\xBF", {}},
        LineRuleCase{"OnlyTheFirstMarkIsDropped", "\xEF\xBB\xBF\xEF\xBB\xBF" "a", {QChar(0xFEFF) + QStringLiteral("a")}},
        LineRuleCase{"Utf16LittleEndian",
                     QByteArray("\xFF\xFE" "0\0" "3\0" "\r\0" "\n\0" "\xE9\0" "\x3D\xD8\x00\xDE" "\n\0" "1\0", 20),
                     {"03", QString::fromUtf8("\u00E9\U0001F600"), "1"}},
        LineRuleCase{"Utf16BigEndian",
                     QByteArray("\xFE\xFF" "\0" "0" "\0" "3" "\0\r" "\0\xE9" "\0\0" "\0\n", 14),
                     {"03", QString::fromUtf8("\u00E9") + QChar(0), kEmpty}},
        LineRuleCase{"HalfAMarkIsWindows1252Text", "\xEF\xBB" "1\r\n", {QString::fromUtf8("\u00EF\u00BB1")}},
        LineRuleCase{"MarkAfterTheStartIsWindows1252Text", "a\r\n\xFF\xFE", {"a", QString::fromUtf8("\u00FF\u00FE")}}),
    [](const auto& info) { return std::string(info.param.name); });

class ZipListReader : public ::testing::Test {
protected:
    QString write(const QByteArray& bytes)
    {
        return test::writeFile(m_folder.filePath(QStringLiteral("zips.txt")), bytes);
    }

    QTemporaryDir m_folder;
};

TEST_F(ZipListReader, BytesAboveAsciiDecodeAsWindows1252)
{
    const QStringList entries = readFile(write("\x80\xe9\xff\r\n\x81\x8d\x8f\x90\x9d\r\n\x9f\xa0"));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0], QString::fromUtf8("\u20ac\u00e9\u00ff"));
    // The five bytes the code page leaves undefined become the control characters of their value.
    EXPECT_EQ(entries[1], QString::fromUtf16(u"\u0081\u008d\u008f\u0090\u009d"));
    EXPECT_EQ(entries[2], QString::fromUtf16(u"\u0178\u00a0"));
}

TEST_F(ZipListReader, CrLfAcrossTheDefaultBlockBoundaryEndsOneLine)
{
    const qsizetype block = ZipListFileReader::kDefaultBlockSize;
    QByteArray bytes(block - 1, '1');
    bytes += "\r\n03053";  // CR is the block's last byte, LF the next block's first
    const QStringList entries = readFile(write(bytes));
    EXPECT_EQ(entries, (QStringList{QString(block - 1, QLatin1Char('1')), "03053"}));
}

TEST_F(ZipListReader, LineLongerThanSeveralBlocksIsOneEntry)
{
    const qsizetype length = 3 * ZipListFileReader::kDefaultBlockSize + 17;
    QByteArray bytes = "a\r\n";
    bytes += QByteArray(length, '\xe9');
    bytes += "\nz";
    const QStringList entries = readFile(write(bytes));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[1], QString(length, QChar(0xe9)));
    EXPECT_EQ(entries[2], "z");
}

// The command line's rule differs from the window's only after a final LF: a
// last line without a line end is an entry under both, whatever the block size.
TEST_F(ZipListReader, AnUnterminatedLastLineIsAnEntryUnderEitherRule)
{
    using Rule = ZipListFileReader::FinalLineEnd;
    const QList<std::tuple<QByteArray, QStringList, QStringList>> cases = {
        // bytes, entries by the window's rule, by the command line's
        {"03053", {"03053"}, {"03053"}},
        {"03053\r\n01830", {"03053", "01830"}, {"03053", "01830"}},
        {"03053\n01830", {"03053", "01830"}, {"03053", "01830"}},
        {"03053\r01830", {"03053", "01830"}, {"03053", "01830"}},
        {"03053\r\n 0183", {"03053", " 0183"}, {"03053", " 0183"}},
        {"03053\n", {"03053", kEmpty}, {"03053"}},
        {"03053\r\n", {"03053"}, {"03053"}},
        {"03053\r", {"03053"}, {"03053"}},
        {"03053\n\n", {"03053", kEmpty, kEmpty}, {"03053", kEmpty}},
    };
    for (const auto& [bytes, window, commandLine] : cases) {
        const QString path = write(bytes);
        for (const qsizetype blockSize : {qsizetype(1), qsizetype(4), ZipListFileReader::kDefaultBlockSize}) {
            EXPECT_EQ(readFile(path, blockSize), window) << bytes.toStdString() << " block " << blockSize;
            ZipListFileReader reader(path, blockSize);
            reader.setFinalLineEnd(Rule::AddsNoEntry);
            EXPECT_EQ(readAll(reader), commandLine) << bytes.toStdString() << " block " << blockSize;
        }
    }
}

TEST_F(ZipListReader, EndOfFileStaysTheEnd)
{
    ZipListFileReader reader(write("a\n"));
    QString entry;
    EXPECT_TRUE(reader.nextEntry(entry));
    EXPECT_TRUE(reader.nextEntry(entry));
    EXPECT_EQ(entry, kEmpty);
    EXPECT_FALSE(reader.nextEntry(entry));
    EXPECT_FALSE(reader.nextEntry(entry));
}

// The description of the failure to open the path, or "opened" when it opened.
QString openFailure(const QString& path)
{
    try {
        ZipListFileReader reader(path);
        return QStringLiteral("opened");
    } catch (const AppError& error) {
        return error.description();
    }
}

TEST_F(ZipListReader, OpenFailuresSayWhy)
{
    EXPECT_EQ(openFailure(m_folder.filePath("missing.txt")), errors::fileNotFound());
    EXPECT_EQ(openFailure(m_folder.filePath("missing/zips.txt")), errors::pathNotFound());
    EXPECT_EQ(openFailure(QString()), errors::fileNotFound());
    EXPECT_EQ(openFailure(write("x") + "/inside"), errors::pathNotFound());  // a file as a folder
}

TEST_F(ZipListReader, FolderIsRefusedInsteadOfReadForever)
{
    const int before = test::openFileCount();
    EXPECT_EQ(openFailure(m_folder.path()), QStringLiteral("Path/File access error"));
    EXPECT_EQ(test::openFileCount(), before);
}

TEST_F(ZipListReader, UnreadableFileFailsWithPermissionDenied)
{
    const QString path = write("03053\r\n");
    QFile::setPermissions(m_folder.path(), QFileDevice::Permissions(0x7755));
    QFile::setPermissions(path, QFileDevice::WriteOwner);
    test::UnprivilegedScope unprivileged;
    if (!unprivileged.permissionsApply())
        GTEST_SKIP() << "file permissions do not apply to this user";
    EXPECT_EQ(openFailure(path), errors::permissionDenied());
}

TEST_F(ZipListReader, FileIsClosedWhenTheReaderGoes)
{
    const QString path = write("03053\r\n01830\r\n");
    const int before = test::openFileCount();
    {
        ZipListFileReader reader(path);
        QString entry;
        ASSERT_TRUE(reader.nextEntry(entry));
        EXPECT_EQ(test::openFileCount(), before + 1);
    }
    EXPECT_EQ(test::openFileCount(), before);
}

}  // namespace
}  // namespace zd
