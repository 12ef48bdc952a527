#pragma once

#include "site/samplepages.h"

#include <QList>
#include <QPair>
#include <QString>

namespace zd::test {

// The tests' pages are rendered as the sample site renders its own (see
// site/samplepages.h): a SamplePageContent through renderSamplePage().

// The place page that the window and stress tests serve for a zip code: the name in
// the location cell with "&nbsp; " between its words, as the site writes it, two
// figures and one household income row, all made from the zip code.
SamplePageContent placePage(const QString& zip, const QString& name);
QString placePageHtml(const QString& zip, const QString& name);
// The same page broken off after the label of its second figure.
QString brokenPlacePageHtml(const QString& zip, const QString& name);
// The rows that showing a place page puts into the demographics list: the name row,
// the figures and the household income; of the broken page, the rows before the break.
QList<QPair<QString, QString>> placeRows(const QString& zip, const QString& name);
QList<QPair<QString, QString>> brokenPlaceRows(const QString& zip, const QString& name);

}  // namespace zd::test
