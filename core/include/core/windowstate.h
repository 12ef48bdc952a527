#pragma once

#include "core/listmodel.h"

#include <QObject>

namespace zd {

class Dialogs;

// The main window's working state without its widgets: the three lists, the
// window's own mouse pointer (which doubles as its busy flag) and the dialogs.
// The commands work on this, so they build against QtCore alone.
class WindowState : public QObject {
    Q_OBJECT
public:
    // The MousePointer values the window uses.
    enum Pointer : int {
        kPointerDefault = 0,  // the ordinary arrow
        kPointerBusy = 11,    // the hourglass; the window counts as busy
        kPointerCustom = 99,  // the image in MouseIcon (the hand)
    };

    explicit WindowState(Dialogs& dialogs, QObject* parent = nullptr);

    ListModel& zipList() { return m_zipList; }                  // ListView1
    ListModel& locationList() { return m_locationList; }        // ListView2
    ListModel& demographicsList() { return m_demographicsList; }  // ListView3
    const ListModel& zipList() const { return m_zipList; }
    const ListModel& locationList() const { return m_locationList; }
    const ListModel& demographicsList() const { return m_demographicsList; }

    int mousePointer() const { return m_mousePointer; }
    void setMousePointer(int pointer);
    bool isBusy() const { return m_mousePointer == kPointerBusy; }

    // Where the pointer moved: the pointer rule of the window's hover handlers.
    enum class HoverTarget { PushButton, Background, ListView };
    // Over a button the hand shows, over the background or a list the arrow; while
    // busy, nothing replaces the hourglass.
    void pointerMovedOver(HoverTarget target);

    Dialogs& dialogs() const { return m_dialogs; }

signals:
    void mousePointerChanged(int pointer);

private:
    Dialogs& m_dialogs;
    ListModel m_zipList;
    ListModel m_locationList;
    ListModel m_demographicsList;
    int m_mousePointer = kPointerDefault;
};

}  // namespace zd
