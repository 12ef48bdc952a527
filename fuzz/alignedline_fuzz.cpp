// The writer's line layout: every cell is followed by one TAB, padded with spaces
// to its width, never cut; the line is as long as the padded cells plus the TABs.
#include "export/alignedlayout.h"
#include "fuzz/fuzzinput.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Layout of an input: widths from the first bytes (one per cell, until a 0xFF),
    // then the cells separated by 0x1F.
    size_t at = 0;
    QList<qsizetype> widths;
    while (at < size && data[at] != 0xFF && widths.size() < 16)
        widths.append(data[at++] % 40);
    if (at < size)
        ++at;
    const QStringList cells = zd::fuzz::textOf(data + at, size - at).split(QChar(0x1F));

    const QString line = zd::alignedLine(cells, widths);
    qsizetype expectedLength = 0;
    qsizetype position = 0;
    for (qsizetype i = 0; i < cells.size(); ++i) {
        const qsizetype width = i < widths.size() ? widths[i] : 0;
        const qsizetype padded = std::max<qsizetype>(width, cells[i].size());
        if (line.mid(position, cells[i].size()) != cells[i])
            std::abort();
        for (qsizetype s = position + cells[i].size(); s < position + padded; ++s) {
            if (line.at(s) != QLatin1Char(' '))
                std::abort();
        }
        position += padded;
        if (line.at(position) != QLatin1Char('\t'))
            std::abort();
        ++position;
        expectedLength += padded + 1;
    }
    if (line.size() != expectedLength)
        std::abort();
    return 0;
}
