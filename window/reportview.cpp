#include "window/reportview.h"

#include "core/listmodel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QScopedValueRollback>
#include <QToolTip>

#include <cmath>

namespace zd {
namespace {

constexpr qsizetype kTooltipLineLength = 70;

// The text in lines of about kTooltipLineLength characters, broken between
// words, escaped and kept as broken: a tooltip is one line as long as its text
// otherwise, or wrapped into a narrow column.
QString tooltipInLines(const QString& text)
{
    QStringList lines{QString()};
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!lines.last().isEmpty() && lines.last().size() + 1 + word.size() > kTooltipLineLength)
            lines.append(QString());
        lines.last() += (lines.last().isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return "<p style=\"white-space:pre\">" + lines.join(QLatin1Char('\n')).toHtmlEscaped() + "</p>";
}

}  // namespace

int twipsToPixels(int twips)
{
    return static_cast<int>(std::lround(twips / 15.0));
}

ReportView::ReportView(ListModel& model, QWidget* parent) : QTreeView(parent), m_model(model)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideRight);
    header()->setStretchLastSection(false);
    header()->setSectionsMovable(false);
    // While rows go, the view moves its selection to a neighbour; the list's own
    // selection is what counts (a removed selected row leaves none), so the view's
    // moves are not taken over. Connected before the view's own handlers.
    connect(&m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this, [this] { m_syncing = true; });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        m_syncing = false;
        showModelSelection(m_model.selectedPosition());
    });
    setModel(&m_model);

    connect(&m_model, &QAbstractItemModel::rowsInserted, this, &ReportView::spanNoteRows);
    connect(&m_model, &ListModel::columnWidthChanged, this, &ReportView::applyColumnWidth);
    // A reset (rows cleared) gives the header its default sizes again.
    connect(&m_model, &QAbstractItemModel::modelReset, this, &ReportView::applyAllColumnWidths);
    connect(&m_model, &QAbstractItemModel::columnsInserted, this, &ReportView::applyAllColumnWidths);
    connect(&m_model, &ListModel::selectionChanged, this, &ReportView::showModelSelection);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ReportView::takeViewSelection);
    applyAllColumnWidths();
    showModelSelection(m_model.selectedPosition());
}

void ReportView::spanNoteRows(const QModelIndex& parent, int first, int last)
{
    for (int row = first; row <= last; ++row) {
        if (m_model.isNoteRow(row + 1))
            setFirstColumnSpanned(row, parent, true);
    }
}

bool ReportView::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString tip = indexAt(help->pos()).data(Qt::ToolTipRole).toString();
        if (!tip.isEmpty()) {
            QToolTip::showText(help->globalPos(), tooltipInLines(tip), viewport());
            return true;
        }
    }
    return QTreeView::viewportEvent(event);
}

void ReportView::applyColumnWidth(int column, int twips)
{
    header()->resizeSection(column - 1, twipsToPixels(twips));
}

void ReportView::applyAllColumnWidths()
{
    for (int column = 1; column <= m_model.columnCount(); ++column) {
        const int twips = m_model.columnWidth(column);
        if (twips > 0)
            applyColumnWidth(column, twips);
    }
    showModelSelection(m_model.selectedPosition());
}

void ReportView::showModelSelection(int position)
{
    if (m_syncing)
        return;
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    if (position < 1) {
        // The current row goes too: drawn with its focus frame it would look
        // selected, and keys would move on from it.
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = m_model.index(position - 1, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                 | QItemSelectionModel::Rows);
}

void ReportView::takeViewSelection()
{
    if (m_syncing)
        return;
    const QScopedValueRollback<bool> syncing(m_syncing, true);
    const QModelIndexList rows = selectionModel()->selectedRows();
    m_model.selectPosition(rows.isEmpty() ? 0 : rows.constFirst().row() + 1);
}

}  // namespace zd
