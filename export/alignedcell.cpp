#include "export/alignedcell.h"

#include "export/alignedlayout.h"
#include "export/resultfile.h"

namespace zd {

void appendAlignedCell(ResultFile& file, QByteArrayView text, qsizetype width)
{
    file.append(text);
    if (const qsizetype padding = alignedPadding(text.size(), width))
        file.appendSpaces(padding);
    file.appendTab();
}

}  // namespace zd
