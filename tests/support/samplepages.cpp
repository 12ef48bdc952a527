#include "tests/support/samplepages.h"

namespace zd::test {
namespace {
QString figureRowsHtml(const QList<SamplePage::Cell>& figures)
{
    QString html = QStringLiteral("<table class=\"figures\">\n");
    for (const SamplePage::Cell& cell : figures) {
        html += QStringLiteral("<tr><td class=\"text\">") + cell.label
            + QStringLiteral("</td><td class=\"figure\">") + cell.value
            + QStringLiteral("</td></tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString incomeRowsHtml(const QList<SamplePage::Cell>& incomes)
{
    const QString right = QStringLiteral("<td class=\"text\" align=\"right\">");
    QString html = QStringLiteral("<table class=\"income\"><tr><th>Income</th><th>Households</th>");
    for (const SamplePage::Cell& cell : incomes)
        html += QStringLiteral("</tr><tr>") + right + cell.label + QStringLiteral("</td>") + right
            + cell.value + QStringLiteral("</td>");
    return html + QStringLiteral("</tr></table>\n");
}
}  // namespace

QString samplePageHtml(const SamplePage& page)
{
    return QStringLiteral("<html><head><title>(") + page.zip
        + QStringLiteral(") Demographics</title></head><body>\n")
        + QStringLiteral("<table><tr><td class=\"place\">(") + page.locationHtml
        + QStringLiteral(")</td></tr></table>\n") + figureRowsHtml(page.figures)
        + incomeRowsHtml(page.incomes) + QStringLiteral("</body></html>\n");
}

QString notFoundPageHtml()
{
    return QStringLiteral("<html><head><title>Demographics</title></head><body>"
                          "<p>No such zip code.</p></body></html>\n");
}

}  // namespace zd::test
