#include "core/windowstate.h"

namespace zd {

WindowState::WindowState(Dialogs& dialogs, QObject* parent)
    : QObject(parent), m_dialogs(dialogs)
{
    m_zipList.setObjectName(QStringLiteral("ListView1"));
    m_locationList.setObjectName(QStringLiteral("ListView2"));
    m_demographicsList.setObjectName(QStringLiteral("ListView3"));
}

void WindowState::setMousePointer(int pointer)
{
    if (pointer == m_mousePointer)
        return;
    m_mousePointer = pointer;
    emit mousePointerChanged(pointer);
}

void WindowState::pointerMovedOver(HoverTarget target)
{
    if (isBusy())
        return;
    setMousePointer(target == HoverTarget::PushButton ? kPointerCustom : kPointerDefault);
}

}  // namespace zd
