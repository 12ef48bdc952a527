#include "map/atlas.h"

#include "map/outlinesfile.h"

#include "core/programfiles.h"

#include <QDir>
#include <QFile>

namespace zd {
namespace {

constexpr auto kFileName = "us-outlines.bin";

}  // namespace

Atlas Atlas::read(const QString& path)
{
    Atlas atlas;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        atlas.m_error = QStringLiteral("The map outlines %1 cannot be read: %2.")
                            .arg(QDir::toNativeSeparators(path), file.errorString());
        return atlas;
    }
    OutlinesFile decoded = decodeOutlinesFile(file.readAll());
    if (!decoded.problem.isEmpty()) {
        atlas.m_error = QStringLiteral("The map outlines %1 are damaged: %2.")
                            .arg(QDir::toNativeSeparators(path), decoded.problem);
        return atlas;
    }
    atlas.m_states = std::move(decoded.states);
    atlas.m_counties = std::move(decoded.counties);
    atlas.m_sourceLine = decoded.sourceLine;
    return atlas;
}

const Atlas& Atlas::installed()
{
    static const Atlas atlas = read(findProgramFile(runningProgramFolder(), QString::fromLatin1(kFileName)));
    return atlas;
}

std::vector<const Outline*> Atlas::countiesOf(const QString& stateCode) const
{
    std::vector<const Outline*> found;
    for (const Outline& county : m_counties) {
        if (county.stateCode == stateCode)
            found.push_back(&county);
    }
    return found;
}

}  // namespace zd
