#include "window/ziplistmenu.h"

#include "core/listmodel.h"
#include "window/reportview.h"
#include "commands/zipareacommands.h"

#include <QMenu>

namespace zd {

QMenu* installZipListMenu(ReportView* view, ListModel& zips, std::function<void()> addNear,
                          std::function<void()> addState)
{
    auto* menu = new QMenu(view);
    menu->setObjectName(QStringLiteral("ZipListMenu"));
    QAction* near = menu->addAction(addNearMenuText());
    near->setObjectName(QStringLiteral("AddZipsNear"));
    QAction* state = menu->addAction(addStateMenuText());
    state->setObjectName(QStringLiteral("AddZipsOfState"));
    QObject::connect(near, &QAction::triggered, view, std::move(addNear));
    QObject::connect(state, &QAction::triggered, view, std::move(addState));
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(view, &QWidget::customContextMenuRequested, menu, [view, menu, near, state, &zips](QPoint at) {
        const QModelIndex index = view->indexAt(at);
        if (index.isValid())
            zips.selectPosition(index.row() + 1);
        near->setEnabled(index.isValid());
        state->setEnabled(index.isValid());
        menu->popup(view->viewport()->mapToGlobal(at));
    });
    return menu;
}

}  // namespace zd
