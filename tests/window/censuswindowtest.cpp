#include "tests/window/censuswindowtest.h"

#include "window/reportview.h"

#include <QThread>

namespace zd::test {

CensusWindowTest::CensusWindowTest(const QStringList& siteArguments)
    : m_log(m_folder.filePath(QStringLiteral("site.log"))), m_api(QStringList{"--log", m_log} + siteArguments)
{
}

std::shared_ptr<CensusSession> CensusWindowTest::sessionFor(CensusSettings settings, int retries)
{
    if (settings.baseUrl == builtInCensusUrl())
        settings.baseUrl = apiAddress();
    if (settings.key.isEmpty())
        settings.key = QStringLiteral("test-key-1");  // the imitation, as the API, wants one on every request
    BatchSettings batch;
    batch.retries = retries;
    batch.retryBase = std::chrono::milliseconds(1);
    batch.rate = 0;  // a refused connection is tried again at once
    return std::make_shared<CensusSession>(settings, batch);
}

Form1& CensusWindowTest::openCensusWindow(CensusSettings settings, int retries)
{
    return openWindow(QString(), sessionFor(std::move(settings), retries));
}

QByteArrayList CensusWindowTest::requests() const
{
    // The site writes a request's line once its answer is sent: a moment after
    // the program has read it.
    QThread::msleep(150);
    QByteArrayList targets;
    for (const QByteArray& line : readWholeFile(m_log).split('\n')) {
        if (!line.isEmpty())
            targets.append(line.split(' ').value(3));
    }
    return targets;
}

qsizetype CensusWindowTest::requestsFor(const QByteArray& part) const
{
    const QByteArrayList made = requests();
    return std::count_if(made.begin(), made.end(), [&](const QByteArray& target) { return target.contains(part); });
}

qsizetype CensusWindowTest::dataRequests() const { return requestsFor("/profile?get="); }

void CensusWindowTest::expectWholeNote(int position)
{
    const ReportView& view = *window().listView(3);
    const QString text = state().demographicsList().rowText(position);
    EXPECT_TRUE(view.isFirstColumnSpanned(position - 1, {})) << text.toStdString();
    for (int column = 0; column < 2; ++column)
        EXPECT_EQ(view.model()->index(position - 1, column).data(Qt::ToolTipRole).toString(), text);
}

void CensusWindowTest::showLocation(int position)
{
    state().locationList().selectPosition(position);
    window().ListView2_Click();
}

}  // namespace zd::test
