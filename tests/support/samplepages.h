#pragma once

#include <QList>
#include <QString>

namespace zd::test {

// A page in the shape the demographics site serves: a title holding the zip code
// in parentheses, a location cell, a table of figures and a table of household
// income rows. Texts are HTML as it stands in the cells.
struct SamplePage {
    QString zip = QStringLiteral("12345");
    QString locationHtml;  // inside the parentheses of the location cell
    struct Cell {
        QString label;
        QString value;
    };
    QList<Cell> figures;
    QList<Cell> incomes;
};
QString samplePageHtml(const SamplePage& page);

// A plain page for zip codes that the site does not know: no location cell.
QString notFoundPageHtml();

}  // namespace zd::test
