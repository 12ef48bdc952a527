#include "core/apperror.h"
#include "core/listmodel.h"

#include <QAbstractItemModelTester>

#include <gtest/gtest.h>

using namespace zd;

namespace {
void expectOutOfRange(const std::function<void()>& action)
{
    try {
        action();
        ADD_FAILURE() << "no failure";
    } catch (const AppError& error) {
        EXPECT_EQ(error.description(), "Subscript out of range");
    }
}

ListModel& twoColumnList(ListModel& list)
{
    list.addColumn("Demographics");
    list.addColumn(" Value");
    return list;
}
}  // namespace

TEST(ListModel, RowsKeepTextSubItemsAndReportChecked)
{
    ListModel list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::Fatal);
    twoColumnList(list);
    const RowId first = list.addRow("03053");
    list.addRow("01830");
    EXPECT_TRUE(list.setSubItem(first, 1, "Lindhollow"));

    EXPECT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.cellText(1, 1), "03053");
    EXPECT_EQ(list.cellText(1, 2), "Lindhollow");
    EXPECT_EQ(list.subItem(2, 1), QString());  // never set
    EXPECT_TRUE(list.isChecked(2));
    EXPECT_EQ(list.headerText(2), " Value");
    EXPECT_EQ(list.headerData(1, Qt::Horizontal).toString(), " Value");
    EXPECT_EQ(list.data(list.index(0, 1)).toString(), "Lindhollow");
}

TEST(ListModel, OutOfRangeReadsFailWithSubscriptOutOfRange)
{
    ListModel list;
    twoColumnList(list);
    list.addRow("a");
    expectOutOfRange([&] { list.rowText(0); });
    expectOutOfRange([&] { list.rowText(2); });
    expectOutOfRange([&] { list.cellText(1, 3); });
    expectOutOfRange([&] { list.headerText(0); });
    expectOutOfRange([&] { list.removeRowAt(2); });
}

TEST(ListModel, RowHandleSurvivesRemovalsAroundItAndDiesWithItsRow)
{
    ListModel list;
    twoColumnList(list);
    const RowId a = list.addRow("a");
    const RowId b = list.addRow("b");
    const RowId c = list.addRow("c");
    list.removeRowAt(1);
    EXPECT_FALSE(list.contains(a));
    EXPECT_EQ(list.positionOf(c), 2);
    EXPECT_TRUE(list.setSubItem(c, 1, "third"));
    EXPECT_EQ(list.cellText(2, 2), "third");

    list.clearRows();
    EXPECT_FALSE(list.setSubItem(b, 1, "lost"));
    const RowId d = list.addRow("d");
    EXPECT_NE(d, b);
    EXPECT_EQ(list.cellText(1, 2), QString());
}

TEST(ListModel, FirstRowOfAnEmptyListBecomesSelected)
{
    ListModel list;
    list.addColumn("US Zip Codes");
    EXPECT_EQ(list.selectedPosition(), 0);
    list.addRow("a");
    list.addRow("b");
    EXPECT_EQ(list.selectedPosition(), 1);
    list.selectPosition(2);
    list.removeRowAt(1);
    EXPECT_EQ(list.selectedPosition(), 1);  // the selected row moved up
    list.removeRowAt(1);
    EXPECT_EQ(list.selectedPosition(), 0);
    list.addRow("c");
    EXPECT_EQ(list.selectedPosition(), 1);
    list.clearRows();
    EXPECT_EQ(list.selectedPosition(), 0);
}

TEST(ListModel, ColumnsKeepOrderAndWidths)
{
    ListModel list;
    twoColumnList(list);
    list.setColumnWidth(1, 3500);
    list.setColumnWidth(2, 3500);
    EXPECT_EQ(list.columnCount(), 2);
    EXPECT_EQ(list.headerText(1), "Demographics");
    EXPECT_EQ(list.columnWidth(2), 3500);
    expectOutOfRange([&] { list.setColumnWidth(3, 10); });
}
