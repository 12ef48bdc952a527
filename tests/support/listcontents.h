#pragma once

#include "core/listmodel.h"

#include <QStringList>

namespace zd::test {

// The texts of one column of a list, top to bottom (column 1 is the row text).
inline QStringList columnTexts(const ListModel& list, int column)
{
    QStringList texts;
    for (int position = 1; position <= list.rowCount(); ++position)
        texts.append(list.cellText(position, column));
    return texts;
}

}  // namespace zd::test
