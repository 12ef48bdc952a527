#pragma once

#include <QString>
#include <QStringView>

namespace zd {

// The rule for a cell that a spreadsheet reads from text (CSV): one that starts
// with = + - @, a TAB or a CR would be taken as a formula (=HYPERLINK(...),
// =cmd|'...'!A0), so it is written with a leading apostrophe, which a
// spreadsheet shows and never runs. A plain number ("-2.5", "+3", "-$1,204",
// "-0.1%", "1e-7") is one in any spreadsheet and stays as it is.
bool startsFormula(QStringView text);

// The text as a spreadsheet may read it: unchanged (shared, not copied) unless
// it starts a formula.
QString inertFormulaText(const QString& text);

}  // namespace zd
