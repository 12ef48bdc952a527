#pragma once

#include "commands/censussession.h"
#include "tests/support/siteprocess.h"
#include "tests/window/windowtest.h"

#include <QByteArrayList>

#include <memory>

namespace zd::test {

// The window on the census source, against the sample site's imitation of the
// API on loopback, whose log counts the requests.
class CensusWindowTest : public WindowTest {
protected:
    explicit CensusWindowTest(const QStringList& siteArguments = {});

    // A session on the sample site (retries at once), then the window on it.
    std::shared_ptr<CensusSession> sessionFor(CensusSettings settings = {}, int retries = 3);
    Form1& openCensusWindow(CensusSettings settings = {}, int retries = 3);

    // The targets asked for so far, once the site has logged every answer sent.
    QByteArrayList requests() const;
    qsizetype dataRequests() const;
    qsizetype requestsFor(const QByteArray& part) const;

    QString apiAddress() const { return "http://" + m_api.host(); }
    void showLocation(int position);
    // The demographics list's row at position is a note shown whole: across
    // the columns, its whole text its tooltip.
    void expectWholeNote(int position);

    QString m_log;
    SiteProcess m_api;
};

}  // namespace zd::test
