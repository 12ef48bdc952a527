// The API is asked over HTTPS with the certificate checked against the system's
// authorities: a server whose certificate they do not vouch for is named as such,
// and nothing is written.

#include "tests/support/clirun.h"
#include "tests/support/wholefile.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace zd::test {
namespace {

// A TLS server on loopback with a certificate made for the test and signed by
// itself: openssl's own s_server, answering every request with a page.
class SelfSignedServer {
public:
    // Empty when the server runs; otherwise why it does not.
    QString start(const QString& folder)
    {
        const QString openssl = QStandardPaths::findExecutable("openssl");
        if (openssl.isEmpty())
            return "the openssl program is not installed";
        const QString key = folder + "/key.pem";
        const QString certificate = folder + "/certificate.pem";
        QProcess request;
        request.start(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
                                "-days", "1", "-keyout", key, "-out", certificate});
        if (!request.waitForFinished(30000) || request.exitCode() != 0)
            return "openssl could not make a certificate: " + QString::fromUtf8(request.readAllStandardError());
        m_server.setProcessChannelMode(QProcess::MergedChannels);
        m_server.start(openssl, {"s_server", "-accept", "127.0.0.1:0", "-cert", certificate, "-key", key, "-www"});
        static const QRegularExpression accepting("ACCEPT 127\\.0\\.0\\.1:([0-9]+)");
        QByteArray said;
        while (m_port == 0 && m_server.waitForReadyRead(10000)) {
            said += m_server.readAll();
            const QRegularExpressionMatch match = accepting.match(QString::fromLatin1(said));
            if (match.hasMatch())
                m_port = match.captured(1).toInt();
        }
        return m_port ? QString() : "openssl s_server did not start: " + QString::fromLatin1(said);
    }

    ~SelfSignedServer()
    {
        m_server.kill();
        m_server.waitForFinished();
    }

    QString url() const { return "https://127.0.0.1:" + QString::number(m_port); }

private:
    QProcess m_server;
    int m_port = 0;
};

TEST(CensusTls, ACertificateNoAuthorityVouchesForIsNamedAndNothingIsWritten)
{
    QTemporaryDir folder;
    SelfSignedServer server;
    if (const QString why = server.start(folder.path()); !why.isEmpty())
        GTEST_SKIP() << why.toStdString();
    const QString zips = folder.filePath("zips.txt");
    ASSERT_TRUE(writeWholeFile(zips, "03053"));
    const QString out = folder.filePath("out.csv");
    ASSERT_TRUE(writeWholeFile(out, "kept"));

    for (const QStringList& command :
         {QStringList{"lookup", "03053"}, QStringList{"export", "--zips", zips, "-o", out}}) {
        const ChildRun run = runCli(command + QStringList{"--source", "census", "--census-url", server.url()});
        EXPECT_NE(run.exitCode, 0) << command.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("SSL certificate problem")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
    EXPECT_EQ(readWholeFile(out), QByteArray("kept"));
}

}  // namespace
}  // namespace zd::test
