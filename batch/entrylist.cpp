#include "batch/entrylist.h"

#include "core/apperror.h"
#include "ziplist/ziplistreader.h"

#include <QFile>

#include <cstdio>

namespace zd {
namespace {

// "--zips -": the whole of standard input, by the same line rules.
void appendStandardInputEntries(QStringList& entries)
{
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        throw AppError("cannot read the zip list from standard input: " + input.errorString());
    try {
        ZipListFileReader reader(input);
        reader.setFinalLineEnd(ZipListFileReader::FinalLineEnd::AddsNoEntry);
        entries += reader.remainingEntries();
    } catch (const AppError& error) {
        throw AppError("cannot read the zip list from standard input: " + error.description());
    }
}

void appendFileEntries(const QString& path, QStringList& entries)
{
    if (path == QLatin1String("-"))
        return appendStandardInputEntries(entries);
    try {
        ZipListFileReader reader(path, ZipListFileReader::kDefaultBlockSize,
                                 ZipListFileReader::Devices::Read);
        reader.setFinalLineEnd(ZipListFileReader::FinalLineEnd::AddsNoEntry);
        entries += reader.remainingEntries();
    } catch (const AppError& error) {
        throw AppError("cannot read the zip list \"" + path + "\": " + error.description());
    }
}

}  // namespace

QStringList collectEntries(const QStringList& zipFiles, const QStringList& commandLineEntries)
{
    QStringList entries;
    for (const QString& path : zipFiles)
        appendFileEntries(path, entries);
    return entries + commandLineEntries;
}

}  // namespace zd
