#include "core/unfinishedfiles.h"

#include <QList>

#include <mutex>

namespace zd {
namespace {

std::mutex g_lock;
QList<UnfinishedFile*> g_files;

}  // namespace

UnfinishedFile::UnfinishedFile(std::function<void()> abandon) : m_abandon(std::move(abandon))
{
    const std::lock_guard lock(g_lock);
    g_files.append(this);
}

UnfinishedFile::~UnfinishedFile()
{
    const std::lock_guard lock(g_lock);
    g_files.removeOne(this);
}

void abandonUnfinishedFiles()
{
    QList<UnfinishedFile*> files;
    {
        const std::lock_guard lock(g_lock);
        files.swap(g_files);
    }
    // Taken off the list first: an abandoned file that goes away later finds itself gone.
    for (qsizetype i = files.size() - 1; i >= 0; --i)
        std::exchange(files[i]->m_abandon, nullptr)();
}

}  // namespace zd
