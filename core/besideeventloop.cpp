#include "core/besideeventloop.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace zd {
namespace {

std::atomic<bool> g_enabled{false};
int g_waits = 0;  // on the application's thread only

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Wheel:
    case QEvent::Enter:
    case QEvent::Leave:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::NativeGesture:
        return true;
    default:
        return false;
    }
}

// Holds back the user's input to the windows while it lives, then posts it again
// in its order. Qt's own way, processing without user input, would hold back the
// close request too: the window system counts it among the user's input.
class InputHold : public QObject {
public:
    InputHold() { QCoreApplication::instance()->installEventFilter(this); }
    ~InputHold() override
    {
        QCoreApplication::instance()->removeEventFilter(this);
        for (auto& [receiver, event] : m_held) {
            if (receiver)
                QCoreApplication::postEvent(receiver, event.release());
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!watched->isWindowType() || !isUserInput(event->type()))
            return false;
        m_held.push_back({QPointer<QObject>(watched), std::unique_ptr<QEvent>(event->clone())});
        return true;
    }

private:
    struct Held {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };
    std::vector<Held> m_held;
};

bool canWaitBesideEventLoop()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return g_enabled.load() && application && QThread::currentThread() == application->thread();
}

}  // namespace

void setWorkRunsBesideEventLoop(bool on) { g_enabled = on; }
bool workRunsBesideEventLoop() { return g_enabled.load(); }
bool isWaitingBesideEventLoop() { return g_waits > 0; }

void runBesideEventLoop(const std::function<void()>& work)
{
    if (!canWaitBesideEventLoop()) {
        work();
        return;
    }
    QEventLoop loop;
    std::exception_ptr failure;
    InputHold hold;
    ++g_waits;
    // The loop lives until the worker's quit has arrived, so the worker never
    // reaches a loop that is gone; quit posted before exec() still ends it.
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    --g_waits;
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}

}  // namespace zd
