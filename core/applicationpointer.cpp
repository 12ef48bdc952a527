#include "core/applicationpointer.h"

namespace zd {
namespace {
struct PointerState {
    std::function<void()> showBusy;
    std::function<void()> restore;
    int depth = 0;
};

PointerState& state()
{
    static PointerState pointer;
    return pointer;
}
}  // namespace

void ApplicationPointer::installHandlers(std::function<void()> showBusy,
                                         std::function<void()> restore)
{
    state().showBusy = std::move(showBusy);
    state().restore = std::move(restore);
}

void ApplicationPointer::setBusy()
{
    ++state().depth;
    if (state().showBusy)
        state().showBusy();
}

void ApplicationPointer::restore()
{
    if (state().depth == 0)
        return;
    --state().depth;
    if (state().restore)
        state().restore();
}

int ApplicationPointer::busyDepth() { return state().depth; }

}  // namespace zd
