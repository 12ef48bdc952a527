#include "batch/entrylist.h"

#include "core/apperror.h"
#include "ziplist/ziplistreader.h"

#include <QFile>

#include <cstdio>

namespace zd {
namespace {

// Every entry the reader has left, one at a time, so that no list of strings is
// ever held beside the packed one.
void appendEntriesOf(ZipListFileReader& reader, PackedStrings& entries)
{
    reader.setFinalLineEnd(ZipListFileReader::FinalLineEnd::AddsNoEntry);
    QString entry;
    while (reader.nextEntry(entry))
        entries.append(entry);
}

// "--zips -": the whole of standard input, by the same line rules.
void appendStandardInputEntries(PackedStrings& entries)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        throw AppError("cannot read the zip list from standard input: " + input.errorString());
    try {
        ZipListFileReader reader(input);
        appendEntriesOf(reader, entries);
    } catch (const AppError& error) {
        throw AppError("cannot read the zip list from standard input: " + error.description());
    }
}

void appendFileEntries(const QString& path, PackedStrings& entries)
{
    if (path == QLatin1String("-"))
        return appendStandardInputEntries(entries);
    try {
        ZipListFileReader reader(path, ZipListFileReader::kDefaultBlockSize,
                                 ZipListFileReader::Devices::Read);
        appendEntriesOf(reader, entries);
    } catch (const AppError& error) {
        throw AppError("cannot read the zip list \"" + path + "\": " + error.description());
    }
}

}  // namespace

PackedStrings collectEntries(const QStringList& zipFiles, const QStringList& commandLineEntries)
{
    PackedStrings entries;
    for (const QString& path : zipFiles)
        appendFileEntries(path, entries);
    for (const QString& entry : commandLineEntries)
        entries.append(entry);
    entries.squeeze();
    return entries;
}

}  // namespace zd
