#pragma once

#include <QList>
#include <QPair>
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

// The place page that the window and stress tests serve for a zip code: the name in
// the location cell with "&nbsp; " between its words, as the site writes it, two
// figures and one household income row, all made from the zip code.
SamplePage placePage(const QString& zip, const QString& name);
QString placePageHtml(const QString& zip, const QString& name);
// The same page broken off after the label of its second figure.
QString brokenPlacePageHtml(const QString& zip, const QString& name);
// The rows that showing a place page puts into the demographics list: the name row,
// the figures and the household income; of the broken page, the rows before the break.
QList<QPair<QString, QString>> placeRows(const QString& zip, const QString& name);
QList<QPair<QString, QString>> brokenPlaceRows(const QString& zip, const QString& name);

// A plain page for zip codes that the site does not know: no location cell.
QString notFoundPageHtml();

}  // namespace zd::test
