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

SamplePage placePage(const QString& zip, const QString& name)
{
    SamplePage page;
    page.zip = zip;
    page.locationHtml = QStringLiteral("<nobr>") + QString(name).replace(QLatin1Char(' '), QStringLiteral("&nbsp; "))
                        + QStringLiteral("</nobr>");
    page.figures = {{QStringLiteral("Population"), QStringLiteral("12,4") + zip.right(2)},
                    {QStringLiteral("Median&nbsp;Age"), QStringLiteral("3") + zip.right(1)}};
    page.incomes = {{QStringLiteral("Under $25k"), QStringLiteral("<nobr>1") + zip.right(2) + QStringLiteral("</nobr>")}};
    return page;
}

QString placePageHtml(const QString& zip, const QString& name) { return samplePageHtml(placePage(zip, name)); }

QString brokenPlacePageHtml(const QString& zip, const QString& name)
{
    const QString html = placePageHtml(zip, name);
    const QString label = QStringLiteral("Median&nbsp;Age");
    return html.left(html.indexOf(label) + label.size());
}

// The "&nbsp; " between a name's words goes and the space stays; between "Median"
// and "Age" stands a bare "&nbsp;", which goes.
QList<QPair<QString, QString>> placeRows(const QString& zip, const QString& name)
{
    return {{name, QString()},
            {QStringLiteral("Population"), QStringLiteral("12,4") + zip.right(2)},
            {QStringLiteral("MedianAge"), QStringLiteral("3") + zip.right(1)},
            {QStringLiteral("household income Under $25k"), QStringLiteral("1") + zip.right(2)}};
}

QList<QPair<QString, QString>> brokenPlaceRows(const QString& zip, const QString& name)
{
    return placeRows(zip, name).mid(0, 2);
}

QString notFoundPageHtml()
{
    return QStringLiteral("<html><head><title>Demographics</title></head><body>"
                          "<p>No such zip code.</p></body></html>\n");
}

}  // namespace zd::test
