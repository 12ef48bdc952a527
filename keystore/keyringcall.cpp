#include "keystore/keyringcall.h"

#include <qt6keychain/keychain.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <clocale>
#include <optional>

namespace zd {
namespace {

// The keyring's answers arrive through the event loop, which needs an
// application object. The command line has none: one is made for the rest of
// the process, with the C locale it found put back, so that nothing else
// formats its numbers differently.
void ensureApplicationObject()
{
    if (QCoreApplication::instance())
        return;
    const QByteArray locale = std::setlocale(LC_ALL, nullptr);
    static int argc = 1;
    static char name[] = "zipdemographics";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* application = new QCoreApplication(argc, argv);
    Q_UNUSED(application);
    std::setlocale(LC_ALL, locale.constData());
}

KeyringAnswer answerOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::NoError: return {KeyringOutcome::Done, {}, {}};
    case QKeychain::EntryNotFound: return {KeyringOutcome::NotFound, {}, {}};
    default: break;
    }
    const QString reason = job.errorString().trimmed();
    return {KeyringOutcome::Unavailable, {}, reason.isEmpty() ? QStringLiteral("the keyring refused") : reason};
}

}  // namespace

Keyring::Keyring(QString service, std::chrono::milliseconds patience)
    : m_service(std::move(service)), m_patience(patience)
{
}

std::chrono::milliseconds Keyring::defaultPatience() { return std::chrono::seconds(15); }

KeyringAnswer Keyring::run(QKeychain::Job* job)
{
    if (!m_silence.isEmpty()) {
        delete job;
        return {KeyringOutcome::Unavailable, {}, m_silence};
    }
    ensureApplicationObject();
    // A job left behind by the time-out deletes itself if its answer ever comes.
    job->setAutoDelete(true);
    job->setInsecureFallback(false);  // never the plain-text settings file
    QEventLoop loop;
    std::optional<KeyringAnswer> answer;
    QObject::connect(job, &QKeychain::Job::finished, &loop, [&](QKeychain::Job* finished) {
        answer = answerOf(*finished);
        if (auto* read = qobject_cast<QKeychain::ReadPasswordJob*>(finished))
            answer->text = read->textData();
        loop.quit();
    });
    QTimer::singleShot(m_patience, &loop, &QEventLoop::quit);
    job->start();
    if (!answer)
        loop.exec();
    if (answer)
        return *answer;
    QObject::disconnect(job, nullptr, &loop, nullptr);
    m_silence = QStringLiteral("the keyring did not answer within %1 s").arg(m_patience.count() / 1000.0);
    return {KeyringOutcome::Unavailable, {}, m_silence};
}

KeyringAnswer Keyring::read(const QString& name)
{
    auto* job = new QKeychain::ReadPasswordJob(m_service);
    job->setKey(name);
    return run(job);
}

KeyringAnswer Keyring::write(const QString& name, const QString& text)
{
    auto* job = new QKeychain::WritePasswordJob(m_service);
    job->setKey(name);
    job->setTextData(text);
    return run(job);
}

KeyringAnswer Keyring::remove(const QString& name)
{
    auto* job = new QKeychain::DeletePasswordJob(m_service);
    job->setKey(name);
    return run(job);
}

}  // namespace zd
