#include "tests/support/samplepages.h"

namespace zd::test {

SamplePageContent placePage(const QString& zip, const QString& name)
{
    SamplePageContent page;
    page.zip = zip;
    page.nameCellHtml = QStringLiteral("<nobr>") + QString(name).replace(QLatin1Char(' '), QStringLiteral("&nbsp; "))
                        + QStringLiteral("</nobr>");
    page.figures = {{QStringLiteral("Population"), QStringLiteral("12,4") + zip.right(2)},
                    {QStringLiteral("Median&nbsp;Age"), QStringLiteral("3") + zip.right(1)}};
    page.incomeRows = {
        {QStringLiteral("Under $25k"), QStringLiteral("<nobr>1") + zip.right(2) + QStringLiteral("</nobr>")}};
    return page;
}

QString placePageHtml(const QString& zip, const QString& name) { return renderSamplePage(placePage(zip, name)); }

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

}  // namespace zd::test
