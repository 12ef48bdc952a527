#pragma once

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace zd {

// A row handle that stays valid while its row exists, whatever is added or
// removed around it. Handle 0 names no row.
using RowId = quint64;

// One report-style list: columns (header text, width in twips) and rows (text,
// sub-items, check state), with a selected row. Positions are 1-based, as the
// commands count them. Shown in the window through a view.
class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(QObject* parent = nullptr);

    // Columns.
    void addColumn(const QString& headerText);
    void setColumnWidth(int column, int twips);
    int columnWidth(int column) const;
    QString headerText(int column) const;

    // Rows. Reading a position or column that does not exist fails with
    // "Subscript out of range".
    RowId addRow(const QString& text);
    // A row that says something in a sentence rather than naming a value: a
    // view shows it across every column, its whole text as its tooltip.
    RowId addNoteRow(const QString& text);
    bool isNoteRow(int position) const;
    // Sets sub-item k (the cell of column k+1) of the row; false when the row is gone.
    bool setSubItem(RowId row, int subItem, const QString& text);
    bool contains(RowId row) const;
    int positionOf(RowId row) const;  // 0 when the row is gone
    RowId rowIdAt(int position) const;
    QString rowText(int position) const;
    QString subItem(int position, int subItem) const;  // never set: empty text
    QString cellText(int position, int column) const;  // column 1 is the row text
    bool isChecked(int position) const;
    void setChecked(int position, bool checked);
    void clearRows();
    void removeRowAt(int position);

    // The selected row: the first row added to an empty list becomes selected;
    // after that the selection follows the user.
    int selectedPosition() const;  // 0 when none
    void selectPosition(int position);

    // Qt model interface.
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

signals:
    void selectionChanged(int position);
    void columnWidthChanged(int column, int twips);

private:
    struct Column {
        QString header;
        int width = 0;
    };
    struct Row {
        RowId id = 0;
        QString text;
        QStringList subItems;  // sub-item k is subItems[k - 1]; most rows have none yet
        bool checked = true;
        bool note = false;
    };

    RowId appendRow(const QString& text, bool note);
    qsizetype indexOf(RowId row) const;
    const Row& rowAt(int position) const;
    void checkColumn(int column) const;
    static QString cellOf(const Row& row, int cell);

    QList<Column> m_columns;
    QList<Row> m_rows;  // ids grow with position, since rows are only appended
    RowId m_nextId = 1;
    RowId m_selected = 0;
};

}  // namespace zd
