// The zip list's context menu: the commands that add the ZIP codes near the
// selected one or of its state, with scripted answers, and the menu itself on the
// real widgets.
#include "tests/window/windowtest.h"

#include "area/zipareas.h"
#include "commands/zipareacommands.h"
#include "core/applicationtitle.h"
#include "window/reportview.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace zd::test {
namespace {

// A few ZIP codes around Londonderry, NH and Haverhill, MA, with their real
// coordinates; 03041 has no ZCTA, which changes nothing for the window.
const QByteArray kPlaces = "01810\tAndover\tMA\t42.6496\t-71.1565\n"
                           "01830\tHaverhill\tMA\t42.7856\t-71.0721\n"
                           "03038\tDerry\tNH\t42.8874\t-71.302\n"
                           "03041\tEast Derry\tNH\t42.8945\t-71.2912\n"
                           "03052\tLitchfield\tNH\t42.843\t-71.455\n"
                           "03053\tLondonderry\tNH\t42.8656\t-71.3772\n";

class ZipAreaCommands : public WindowTest {
protected:
    void SetUp() override
    {
        m_areas.emplace(PlaceNames::read(writeFile("places.tsv", kPlaces)), ZctaList::parse("01810\n01830\n03038\n"
                                                                                           "03052\n03053\n"));
        openWindow();
        click(5);  // 03053 and 01830
        m_dialogs.clearRecords();
    }
    void selectZip(int position) { state().zipList().selectPosition(position); }
    const ZipAreas* areas() const { return &*m_areas; }

    std::optional<ZipAreas> m_areas;
};

TEST_F(ZipAreaCommands, NearAsksTheMilesAndAddsTheNearestFirstAsIfTyped)
{
    selectZip(1);
    m_dialogs.queueInput(QStringLiteral("5"));
    addZipsNearSelected(state(), nullptr, areas());
    EXPECT_EQ(m_dialogs.inputPrompts(), QStringList{"Add the ZIP codes within how many miles of 03053?"});
    EXPECT_EQ(m_dialogs.inputTitles(), QStringList{applicationTitle()});
    // 03053 is listed already and is not added twice.
    const QStringList expected{"03053", "01830", "03038", "03052", "03041"};
    EXPECT_EQ(texts(state().zipList()), expected);
    EXPECT_EQ(texts(state().locationList()), expected);
    EXPECT_EQ(texts(state().locationList(), 2).mid(2),
              (QStringList{"Zip code not found.", "Zip code not found.", "Zip code not found."}));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
    EXPECT_EQ(state().mousePointer(), WindowState::kPointerDefault);
    // Asked again, there is nothing new within the same distance.
    m_dialogs.queueInput(QStringLiteral("5"));
    addZipsNearSelected(state(), nullptr, areas());
    EXPECT_EQ(texts(state().zipList()), expected);
}

TEST_F(ZipAreaCommands, StateAddsEveryZipCodeOfTheSelectedOnesStateByZipCode)
{
    selectZip(2);  // 01830, MA
    addZipsOfSelectedState(state(), nullptr, areas());
    EXPECT_EQ(texts(state().zipList()), (QStringList{"03053", "01830", "01810"}));
    EXPECT_EQ(texts(state().locationList()), (QStringList{"03053", "01830", "01810"}));
    EXPECT_TRUE(m_dialogs.inputPrompts().isEmpty());
}

TEST_F(ZipAreaCommands, WhatCannotBeAddedIsSaidInABoxAndAddsNothing)
{
    const QStringList before = texts(state().zipList());
    state().zipList().selectPosition(0);
    addZipsNearSelected(state(), nullptr, areas());
    addZipsOfSelectedState(state(), nullptr, areas());
    state().zipList().addRow(QStringLiteral("99999"));
    selectZip(3);
    addZipsOfSelectedState(state(), nullptr, areas());
    selectZip(1);
    for (const QString& answer : {QStringLiteral("-1"), QStringLiteral("far"), QStringLiteral("3001")}) {
        m_dialogs.queueInput(answer);
        addZipsNearSelected(state(), nullptr, areas());
    }
    addZipsNearSelected(state(), nullptr, areas());  // Cancel: no box
    EXPECT_EQ(messageTexts(),
              (QStringList{"Select a ZIP code in the list first.", "Select a ZIP code in the list first.",
                           "\"99999\" is not a ZIP code of the place table.",
                           "Nothing was added: the distance must be a number of miles from 0 to 3000, not \"-1\".",
                           "Nothing was added: the distance must be a number of miles from 0 to 3000, not \"far\".",
                           "Nothing was added: the distance must be a number of miles from 0 to 3000, not \"3001\"."}));
    EXPECT_EQ(texts(state().zipList()), before + QStringList{"99999"});
    EXPECT_EQ(texts(state().locationList()), before);
}

TEST_F(ZipAreaCommands, TheZipListsMenuSelectsTheEntryClickedAndRunsTheCommands)
{
    ReportView* zips = window().listView(1);
    auto* menu = zips->findChild<QMenu*>(QStringLiteral("ZipListMenu"));
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("Add ZIP codes near this one\u2026"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("Add every ZIP code of this state"));
    EXPECT_EQ(zips->contextMenuPolicy(), Qt::CustomContextMenu);

    const QRect secondRow = zips->visualRect(zips->model()->index(1, 0));
    emit zips->customContextMenuRequested(secondRow.center());
    EXPECT_EQ(state().zipList().selectedPosition(), 2);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_TRUE(actions[0]->isEnabled());
    menu->hide();
    emit zips->customContextMenuRequested(QPoint(5, zips->viewport()->height() - 5));
    EXPECT_FALSE(actions[0]->isEnabled());
    EXPECT_FALSE(actions[1]->isEnabled());
    menu->hide();

    // Over the program's place table: within 4.5 miles of 03053 lie 03038 and 03052.
    const auto rightClickRow = [&](int row) {
        emit zips->customContextMenuRequested(zips->visualRect(zips->model()->index(row, 0)).center());
        menu->hide();
    };
    rightClickRow(0);
    m_dialogs.queueInput(QStringLiteral("4.5"));
    actions[0]->trigger();
    EXPECT_EQ(texts(state().zipList()), (QStringList{"03053", "01830", "03038", "03052"}));
    state().zipList().addRow(QStringLiteral("not a zip"));
    rightClickRow(4);
    EXPECT_EQ(state().zipList().selectedPosition(), 5);
    actions[1]->trigger();
    EXPECT_EQ(messageTexts(), QStringList{"\"not a zip\" is not a ZIP code of the place table."});
}

}  // namespace
}  // namespace zd::test
