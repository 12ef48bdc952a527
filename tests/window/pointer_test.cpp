#include "tests/window/windowtest.h"

#include "window/reportview.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>

namespace zd::test {
namespace {

using Pointer = WindowTest;

void moveOver(QWidget* widget, QPointF inside = {})
{
    if (inside.isNull())
        inside = QPointF(widget->width() / 2.0, widget->height() / 2.0);
    QMouseEvent move(QEvent::MouseMove, inside, widget->mapToGlobal(inside), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &move);
}

TEST_F(Pointer, ButtonsShowTheHandAndTheBackgroundAndListsTheArrow)
{
    Form1& form = openWindow(programFolderWithArtwork());
    for (int button = 1; button <= 6; ++button) {
        SCOPED_TRACE(button);
        moveOver(form.pushButton(button));
        EXPECT_EQ(state().mousePointer(), 99);
        EXPECT_EQ(form.cursor().shape(), Qt::BitmapCursor);
        moveOver(form.listView(button % 3 + 1)->viewport());
        EXPECT_EQ(state().mousePointer(), 0);
        EXPECT_EQ(form.cursor().shape(), Qt::ArrowCursor);
    }
    moveOver(form.pushButton(2));
    moveOver(&form, {268, 312});  // over ListView2: the list's, not the background's
    EXPECT_EQ(state().mousePointer(), 99);
    moveOver(&form, {4, 300});    // the margin beside the lists
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(Pointer, LeavingAButtonChangesNothingUntilTheNextMoveOverTheWindow)
{
    Form1& form = openWindow(programFolderWithArtwork());
    moveOver(form.pushButton(5));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(form.pushButton(5), &leave);
    EXPECT_EQ(state().mousePointer(), 99);
    moveOver(form.listView(1)->header());
    EXPECT_EQ(state().mousePointer(), 0);
}

TEST_F(Pointer, NothingReplacesTheHourglassWhileTheWindowIsBusy)
{
    Form1& form = openWindow(programFolderWithArtwork());
    state().setMousePointer(WindowState::kPointerBusy);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    moveOver(form.pushButton(1));
    moveOver(form.listView(2)->viewport());
    moveOver(&form, {4, 4});
    EXPECT_EQ(state().mousePointer(), 11);
    EXPECT_EQ(form.cursor().shape(), Qt::WaitCursor);
    state().setMousePointer(WindowState::kPointerDefault);
    moveOver(form.pushButton(1));
    EXPECT_EQ(state().mousePointer(), 99);
}

}  // namespace
}  // namespace zd::test
