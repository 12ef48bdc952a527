#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// One row of a sample page, as HTML: a figure (label and value cell text) or a
// household income bracket (label and share).
struct SampleRow {
    QString labelHtml;
    QString valueHtml;
};

// Everything one sample page shows. The place names and all figures are made up.
struct SamplePageContent {
    QString zip;
    QString nameCellHtml;  // what stands between "(" and ")" in the location cell
    QList<SampleRow> figures;
    QList<SampleRow> incomeRows;
};

// The ZIP codes the sample site knows, in the order its index page lists them.
QStringList sampleZipCodes();
// The location cell text of a known ZIP code; nothing for an unknown one.
std::optional<QString> sampleNameCell(const QString& zip);

// Made-up figures, always the same for the same ZIP code.
SamplePageContent generatedPageContent(const QString& zip, const QString& nameCellHtml);

// The page of a known ZIP code, or nothing for one the site does not know.
std::optional<QString> samplePage(const QString& zip);
// The location cell of an invented place for any ZIP code, always the same for
// the same code: "<nobr>Kestwick Hollow, NH</nobr>".
QString madeUpNameCell(const QString& zip);
// A page of made-up figures for any five-digit ZIP code: a known code's own page,
// else an invented place's. Nothing for text that is not five ASCII digits.
std::optional<QString> everyZipPage(const QString& zip);
// The page of the content in the site's shape: the notice, the place table (ZIP
// code and location cell), the figures and the household income table. The one
// renderer of that shape: the sample site's pages and the tests' pages come from it.
QString renderSamplePage(const SamplePageContent& content);
// The answer for a ZIP code the site does not know: no location cell at all.
QString unknownZipPage(const QString& zip);
// The site's front page: what it serves and how to ask for it.
QString indexPage(const QString& faultModeListHtml);
// A page for requests that are not for a ZIP code's page.
QString notAPageOfThisSite(const QString& target);

}  // namespace zd
