#include "cli/entrylist.h"

#include "app/core/apperror.h"
#include "ziplist/ziplistreader.h"

namespace zd {
namespace {

void appendFileEntries(const QString& path, QStringList& entries)
{
    try {
        ZipListFileReader reader(path, ZipListFileReader::kDefaultBlockSize,
                                 ZipListFileReader::Devices::Read);
        QString entry;
        while (reader.nextEntry(entry))
            entries.append(entry);
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
