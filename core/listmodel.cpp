#include "core/listmodel.h"

#include "core/apperror.h"

#include <algorithm>

namespace zd {

ListModel::ListModel(QObject* parent) : QAbstractTableModel(parent) {}

void ListModel::addColumn(const QString& headerText)
{
    const int column = static_cast<int>(m_columns.size());
    beginInsertColumns(QModelIndex(), column, column);
    m_columns.append({headerText, 0});
    endInsertColumns();
}

void ListModel::checkColumn(int column) const
{
    if (column < 1 || column > m_columns.size())
        throwSubscriptOutOfRange();
}

void ListModel::setColumnWidth(int column, int twips)
{
    checkColumn(column);
    m_columns[column - 1].width = twips;
    emit columnWidthChanged(column, twips);
}

int ListModel::columnWidth(int column) const
{
    checkColumn(column);
    return m_columns[column - 1].width;
}

QString ListModel::headerText(int column) const
{
    checkColumn(column);
    return m_columns[column - 1].header;
}

RowId ListModel::addRow(const QString& text) { return appendRow(text, false); }

RowId ListModel::addNoteRow(const QString& text) { return appendRow(text, true); }

bool ListModel::isNoteRow(int position) const { return rowAt(position).note; }

RowId ListModel::appendRow(const QString& text, bool note)
{
    const int position = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), position, position);
    m_rows.append({m_nextId++, text, {}, true, note});
    endInsertRows();
    const RowId id = m_rows.constLast().id;
    if (m_rows.size() == 1)
        selectPosition(1);
    return id;
}

qsizetype ListModel::indexOf(RowId row) const
{
    const auto found = std::lower_bound(m_rows.cbegin(), m_rows.cend(), row,
                                        [](const Row& r, RowId id) { return r.id < id; });
    if (found == m_rows.cend() || found->id != row)
        return -1;
    return found - m_rows.cbegin();
}

bool ListModel::setSubItem(RowId row, int subItem, const QString& text)
{
    if (subItem < 1)
        throwSubscriptOutOfRange();
    const qsizetype index = indexOf(row);
    if (index < 0)
        return false;
    QStringList& subItems = m_rows[index].subItems;
    while (subItems.size() < subItem)
        subItems.append(QString());
    subItems[subItem - 1] = text;
    const QModelIndex changed = createIndex(static_cast<int>(index), subItem);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
    return true;
}

bool ListModel::contains(RowId row) const { return indexOf(row) >= 0; }

int ListModel::positionOf(RowId row) const { return static_cast<int>(indexOf(row) + 1); }

const ListModel::Row& ListModel::rowAt(int position) const
{
    if (position < 1 || position > m_rows.size())
        throwSubscriptOutOfRange();
    return m_rows[position - 1];
}

RowId ListModel::rowIdAt(int position) const { return rowAt(position).id; }

QString ListModel::cellOf(const Row& row, int cell)
{
    if (cell == 0)
        return row.text;
    return cell <= row.subItems.size() ? row.subItems[cell - 1] : QString();
}

QString ListModel::rowText(int position) const { return rowAt(position).text; }

QString ListModel::subItem(int position, int subItem) const
{
    if (subItem < 1)
        throwSubscriptOutOfRange();
    return cellOf(rowAt(position), subItem);
}

QString ListModel::cellText(int position, int column) const
{
    checkColumn(column);
    return cellOf(rowAt(position), column - 1);
}

bool ListModel::isChecked(int position) const { return rowAt(position).checked; }

void ListModel::setChecked(int position, bool checked)
{
    rowAt(position);
    m_rows[position - 1].checked = checked;
}

void ListModel::clearRows()
{
    beginResetModel();
    m_rows.clear();
    endResetModel();
    m_selected = 0;
    emit selectionChanged(0);
}

void ListModel::removeRowAt(int position)
{
    const RowId id = rowAt(position).id;
    beginRemoveRows(QModelIndex(), position - 1, position - 1);
    m_rows.removeAt(position - 1);
    endRemoveRows();
    if (id == m_selected) {
        m_selected = 0;
        emit selectionChanged(0);
    }
}

int ListModel::selectedPosition() const { return m_selected == 0 ? 0 : positionOf(m_selected); }

void ListModel::selectPosition(int position)
{
    const RowId id = position >= 1 && position <= m_rows.size() ? m_rows[position - 1].id : 0;
    if (id == m_selected)
        return;
    m_selected = id;
    emit selectionChanged(selectedPosition());
}

int ListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int ListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const Row& row = m_rows[index.row()];
    if (role == Qt::DisplayRole)
        return cellOf(row, index.column());
    if (role == Qt::ToolTipRole && row.note)
        return row.text;
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0
        || section >= m_columns.size())
        return {};
    return m_columns[section].header;
}

}  // namespace zd
