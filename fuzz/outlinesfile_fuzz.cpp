// The bytes of a map outlines file (data/us-outlines.bin's format): a damaged
// file gives a problem and no outlines, a whole one only outlines on the layout,
// and a whole file cut short by a byte is never read as whole.
#include "map/outlinesfile.h"

#include <cmath>
#include <cstdlib>

namespace {
void require(bool holds)
{
    if (!holds)
        std::abort();
}

bool finiteOutlines(const std::vector<zd::Outline>& outlines)
{
    for (const zd::Outline& outline : outlines) {
        const QRectF bounds = outline.path.boundingRect();
        if (!std::isfinite(bounds.left()) || !std::isfinite(bounds.top()) || !std::isfinite(bounds.width())
            || !std::isfinite(bounds.height()) || outline.stateCode.size() != 2)
            return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const zd::OutlinesFile file = zd::decodeOutlinesFile(bytes);
    if (!file.problem.isEmpty()) {
        require(file.states.empty() && file.counties.empty() && file.sourceLine.isEmpty());
        return 0;
    }
    require(finiteOutlines(file.states) && finiteOutlines(file.counties));
    require(!zd::decodeOutlinesFile(bytes.chopped(1)).problem.isEmpty());
    return 0;
}
