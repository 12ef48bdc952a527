#pragma once

#include <QTreeView>

namespace zd {

class ListModel;

// A list view in report (details) view over a ListModel: its column widths follow
// the model's (twips shown as pixels at 15 twips each) and its selected row is the
// model's selected row, both ways.
class ReportView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportView(ListModel& model, QWidget* parent = nullptr);

    ListModel& listModel() const { return m_model; }

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void spanNoteRows(const QModelIndex& parent, int first, int last);
    void applyColumnWidth(int column, int twips);
    void applyAllColumnWidths();
    void showModelSelection(int position);
    void takeViewSelection();

    ListModel& m_model;
    bool m_syncing = false;
};

// Lengths in twips as logical pixels.
int twipsToPixels(int twips);

}  // namespace zd
