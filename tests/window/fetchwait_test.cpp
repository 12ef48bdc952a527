// Fetches beside the event loop, as the desktop program runs them: meanwhile the
// window handles its other events (drawing, a close request), while the user's
// clicks and keys wait until the fetch is over, so that no command starts inside it.
#include "tests/window/windowtest.h"

#include "core/besideeventloop.h"
#include "core/siteconfig.h"
#include "retrieval/pagefetch.h"
#include "retrieval/requesturl.h"
#include "site/loopbackhttpserver.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <stdexcept>

namespace zd::test {
namespace {

class FetchWait : public WindowTest {
protected:
    FetchWait()
        : m_slowSite([](const HttpRequest& request, HttpConnection& connection) {
              connection.stall(std::chrono::milliseconds(700));
              const QString zip = QString::fromLatin1(request.queryValue("zip"));
              connection.sendResponse(200, placePageHtml(zip, locationName(zip)).toLatin1());
          })
    {
        setWorkRunsBesideEventLoop(true);
    }
    ~FetchWait() override
    {
        setWorkRunsBesideEventLoop(false);
        setDemographicsHostOverride(QString::fromLatin1(m_site.server().hostAndPort()));
    }
    void useTheSlowSite()
    {
        ASSERT_TRUE(m_slowSite.listen());
        setDemographicsHostOverride(QString::fromLatin1(m_slowSite.hostAndPort()));
    }
    // A click of the left button on a push button, as the window system hands it to the window.
    void postClick(int button)
    {
        QWindow* window = this->window().windowHandle();
        const QPoint at = this->window().pushButton(button)->geometry().center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
            QCoreApplication::postEvent(window, new QMouseEvent(type, QPointF(at), QPointF(at),
                                                                QPointF(window->mapToGlobal(at)),
                                                                Qt::LeftButton, held, Qt::NoModifier));
        }
    }

    LoopbackHttpServer m_slowSite;
};

TEST_F(FetchWait, AClickDuringAFetchWaitsUntilItsEndWhileOtherEventsAreHandled)
{
    openWindow().show();
    useTheSlowSite();
    bool timerRan = false;
    QTimer::singleShot(100, qApp, [&] {
        timerRan = true;
        postClick(1);  // "Help": its message box tells when the command ran
    });
    const FetchOutcome fetched = fetchPageWithOutcome(requestUrl(QStringLiteral("03053")));
    EXPECT_TRUE(fetched.complete);
    EXPECT_TRUE(timerRan);                       // handled during the fetch
    EXPECT_TRUE(m_dialogs.messages().isEmpty());  // the click was not
    for (int pump = 0; pump < 5 && m_dialogs.messages().isEmpty(); ++pump)
        QCoreApplication::processEvents();
    EXPECT_EQ(m_dialogs.messages().size(), 1);   // it is handled once the fetch is over
}

TEST_F(FetchWait, AClosePutDuringALocationsFetchEndsTheProgramThere)
{
    openWindow().show();
    click(5);  // the samples, from the quick site
    useTheSlowSite();
    bool closedDuringTheFetch = false;
    QTimer::singleShot(200, qApp, [&] {
        window().close();
        closedDuringTheFetch = isWaitingBesideEventLoop();
    });
    state().locationList().selectPosition(2);
    window().ListView2_Click();
    EXPECT_EQ(m_endProgramCalls, 1);
    EXPECT_TRUE(closedDuringTheFetch);
}

TEST(WorkBesideEventLoop, RunsOnAWorkerAndHandsBackItsFailure)
{
    setWorkRunsBesideEventLoop(true);
    QThread* ranOn = nullptr;
    runBesideEventLoop([&] { ranOn = QThread::currentThread(); });
    EXPECT_NE(ranOn, QThread::currentThread());
    EXPECT_THROW(runBesideEventLoop([] { throw std::runtime_error("no"); }), std::runtime_error);
    setWorkRunsBesideEventLoop(false);
    runBesideEventLoop([&] { ranOn = QThread::currentThread(); });
    EXPECT_EQ(ranOn, QThread::currentThread());  // off: right here, no event handled
}

}  // namespace
}  // namespace zd::test
