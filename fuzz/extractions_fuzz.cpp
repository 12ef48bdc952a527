// The three page extractions, checked against a plain reading of their rules
// written with QString::split: same rows, same break-off, never a crash.
#include "fuzz/fuzzinput.h"
#include "retrieval/demographicsparser.h"

#include <QStringList>

#include <cstdlib>

namespace {
QString removeEach(QString text, const QStringList& removals)
{
    for (const QString& removal : removals)
        text.remove(removal);
    return text;
}

std::optional<QString> referenceLocationName(const QString& page)
{
    const QStringList segments = page.split(QStringLiteral(">("));
    if (segments.size() < 3)
        return std::nullopt;
    const QString cell = segments[2].split(QStringLiteral("</td>")).first();
    return removeEach(cell, {"&nbsp;", "<nobr>", "</nobr>", "<b>", ")"});
}

// valueMarker: what the cell after the label is cut at to find the value.
zd::ExtractedRows referenceRows(const QString& page, const QString& rowMarker,
                                const QString& valueMarker, bool income)
{
    zd::ExtractedRows result;
    const QStringList segments = page.split(rowMarker);
    for (qsizetype i = 1; i < segments.size(); ++i) {
        const QStringList pieces = segments[i].split(QStringLiteral("</td>"));
        const QStringList values = pieces.size() > 1 ? pieces[1].split(valueMarker) : QStringList();
        if (values.size() < 2) {
            result.brokeOff = true;
            break;
        }
        if (income)
            result.rows.append({"household income " + removeEach(pieces[0], {"&nbsp;"}),
                                removeEach(values[1], {"&nbsp;", "<nobr>", "</nobr>"})});
        else
            result.rows.append({removeEach(pieces[0], {"&nbsp;", "<nobr>", "</nobr>", "<b>"}),
                                removeEach(values[1], {"&nbsp;"})});
    }
    return result;
}

bool sameRows(const zd::ExtractedRows& a, const zd::ExtractedRows& b)
{
    if (a.brokeOff != b.brokeOff || a.rows.size() != b.rows.size())
        return false;
    for (qsizetype i = 0; i < a.rows.size(); ++i) {
        if (a.rows[i].name != b.rows[i].name || a.rows[i].value != b.rows[i].value)
            return false;
    }
    return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString page = zd::fuzz::textOf(data, size);
    if (zd::extractLocationName(page) != referenceLocationName(page))
        std::abort();
    const QString rightCell = QStringLiteral("<td class=\"text\" align=\"right\">");
    if (!sameRows(zd::extractFigureRows(page),
                  referenceRows(page, QStringLiteral("<td class=\"text\">"), QStringLiteral(">"), false)))
        std::abort();
    if (!sameRows(zd::extractHouseholdIncomeRows(page),
                  referenceRows(page, "</tr><tr>" + rightCell, rightCell, true)))
        std::abort();
    return 0;
}
