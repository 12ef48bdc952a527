// The window's census source without a key: the question in a password field,
// the key kept (in the private file, with no keyring in these tests) or not,
// Cancel leaving the window as it is with a word on the figures needing a key;
// and the window's own --source and --year.
#include "census/censussource.h"
#include "commands/censusenvironment.h"
#include "commands/startupcheck.h"
#include "commands/censussession.h"
#include "tests/support/scripteddialogs.h"
#include "tests/support/scopedenvironment.h"
#include "tests/support/wholefile.h"
#include "tests/window/windowtest.h"
#include "window/qtdialogs.h"
#include "window/windowarguments.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/stat.h>

namespace zd::test {
namespace {

// The census source chosen in the environment, no key set, no keyring to be
// reached, and the user's configuration in a folder of the test's own; the
// question as the window asks it once it is up.
class CensusKeyQuestion : public WindowTest {
protected:
    QString keyPath() const { return m_config.filePath(QStringLiteral("zipdemographics/census-api-key")); }

    std::shared_ptr<CensusSession> start()
    {
        std::shared_ptr<CensusSession> session;
        EXPECT_TRUE(confirmUsableStartSettings(m_dialogs, {}, session, nullptr));
        if (session)
            askForMissingCensusKey(m_dialogs, *session);
        return session;
    }

    QTemporaryDir m_config;
    ScopedEnvironmentVariable m_source{"ZIPDEMOGRAPHICS_SOURCE", QByteArray("census")};
    ScopedEnvironmentVariable m_key{"CENSUS_API_KEY", std::nullopt};
    ScopedEnvironmentVariable m_configHome{"XDG_CONFIG_HOME", QFile::encodeName(m_config.path())};
    ScopedEnvironmentVariable m_bus{"DBUS_SESSION_BUS_ADDRESS", QByteArray("unix:path=/nonexistent/test-bus")};
};

TEST_F(CensusKeyQuestion, CancelOpensTheWindowAsItIsAndSaysThatTheFiguresNeedAKey)
{
    const std::shared_ptr<CensusSession> session = start();
    ASSERT_TRUE(session);
    EXPECT_TRUE(session->settings().key.isEmpty());
    ASSERT_EQ(m_dialogs.keyPrompts().size(), 1);
    EXPECT_TRUE(m_dialogs.keyPrompts()[0].contains("https://api.census.gov/data/key_signup.html"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains("The Census Bureau's figures need a key"))
        << m_dialogs.messages()[0].text.toStdString();
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains("zipdemographics-cli census-key set"));
    EXPECT_FALSE(QFileInfo::exists(keyPath()));

    // The window's texts are the site window's.
    QStringList censusTexts;
    openWindow(QString(), session);
    for (int number = 1; number <= 6; ++number)
        censusTexts.append(window().pushButton(number)->text());
    openWindow();
    for (int number = 1; number <= 6; ++number)
        EXPECT_EQ(censusTexts[number - 1], window().pushButton(number)->text());
}

TEST_F(CensusKeyQuestion, ATypedKeyIsUsedAndKeptForTheNextStartOnlyWhenAskedTo)
{
    m_dialogs.queueKey(QStringLiteral("  typed-key-5 "), false);
    EXPECT_EQ(start()->settings().key, QStringLiteral("typed-key-5"));
    EXPECT_FALSE(QFileInfo::exists(keyPath()));
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    m_dialogs.queueKey(QStringLiteral("typed-key-6"), true);
    EXPECT_EQ(start()->settings().key, QStringLiteral("typed-key-6"));
    EXPECT_EQ(readWholeFile(keyPath()), QByteArray("typed-key-6\n"));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(keyPath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    // Where it went is said, since it is not the keyring; the key is not.
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains(keyPath()));
    EXPECT_FALSE(m_dialogs.messages()[0].text.contains("typed-key-6"));

    // The next start asks nothing; CENSUS_API_KEY still comes first.
    m_dialogs.clearRecords();
    EXPECT_EQ(start()->settings().key, QStringLiteral("typed-key-6"));
    ScopedEnvironmentVariable key("CENSUS_API_KEY", QByteArray("from-environment"));
    EXPECT_EQ(start()->settings().key, QStringLiteral("from-environment"));
    EXPECT_TRUE(m_dialogs.keyPrompts().isEmpty());
    EXPECT_TRUE(m_dialogs.messages().isEmpty());
}

TEST_F(CensusKeyQuestion, AKeyThatCannotBeOneIsNeitherUsedNorKept)
{
    m_dialogs.queueKey(QStringLiteral("two words"), true);
    EXPECT_TRUE(start()->settings().key.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(keyPath()));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith("The key holds a space"));
    EXPECT_FALSE(m_dialogs.messages()[0].text.contains("two words"));
}

TEST_F(CensusKeyQuestion, AKeyThatCannotBeKeptIsUsedAndTheBoxSaysWhy)
{
    // The configuration folder's place is taken by a file.
    ASSERT_TRUE(writeWholeFile(m_config.filePath(QStringLiteral("zipdemographics")), "in the way\n"));
    m_dialogs.queueKey(QStringLiteral("typed-key-7"), true);
    EXPECT_EQ(start()->settings().key, QStringLiteral("typed-key-7"));
    ASSERT_EQ(m_dialogs.messages().size(), 1);
    EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith("The key could not be kept"));
    EXPECT_TRUE(m_dialogs.messages()[0].text.contains("used until the program ends"));
    EXPECT_EQ(m_dialogs.messages()[0].style, kMessageExclamation);
}

// A stored key file others may read: its key is used, a box gives the remedy.
// One that holds no usable key: the box names it, and the key is asked for.
TEST_F(CensusKeyQuestion, AStoredKeyFileOpenToOthersOrUnusableIsNamedAtStart)
{
    ASSERT_TRUE(QDir().mkpath(QFileInfo(keyPath()).absolutePath()));
    const struct {
        QByteArray content;
        QString key;
        QString said;
        qsizetype prompts;
    } cases[] = {{"stored-key-9\n", QStringLiteral("stored-key-9"), "Make it yours alone: chmod 600 " + keyPath(), 0},
                 {QByteArray(20000, 'k'), QString(), "The stored key cannot be used: the key file \"" + keyPath(), 1}};
    for (const auto& [content, key, said, prompts] : cases) {
        m_dialogs.clearRecords();
        ASSERT_TRUE(writeWholeFile(keyPath(), content));
        ASSERT_EQ(::chmod(QFile::encodeName(keyPath()).constData(), 0644), 0);
        EXPECT_EQ(start()->settings().key, key);
        EXPECT_EQ(m_dialogs.keyPrompts().size(), prompts);
        ASSERT_GE(m_dialogs.messages().size(), 1);
        EXPECT_TRUE(m_dialogs.messages()[0].text.contains(said, Qt::CaseInsensitive))
            << m_dialogs.messages()[0].text.toStdString();
        EXPECT_FALSE(m_dialogs.messages()[0].text.contains("kkkk"));
    }
}

TEST(WindowArguments, SourceAndYearAreTakenAndEveryOtherArgumentLeftAlone)
{
    const WindowArguments both =
        parseWindowArguments({"zipdemographics", "--source", "census", "-style", "fusion", "--year=2022"});
    EXPECT_TRUE(both.error.isEmpty());
    ASSERT_TRUE(both.options.source && both.options.year);
    EXPECT_EQ(both.options.source->value, QStringLiteral("census"));
    EXPECT_EQ(both.options.source->origin, QStringLiteral("--source"));
    EXPECT_EQ(both.options.year->value, QStringLiteral("2022"));

    const WindowArguments none = parseWindowArguments({"zipdemographics", "--unknown", "x"});
    EXPECT_TRUE(none.error.isEmpty());
    EXPECT_FALSE(none.options.source || none.options.year);

    EXPECT_EQ(parseWindowArguments({"zipdemographics", "--year"}).error, QStringLiteral("--year needs a value: a year"));
    EXPECT_EQ(parseWindowArguments({"zipdemographics", "--source"}).error,
              QStringLiteral("--source needs a value: site or census"));
}

TEST_F(CensusKeyQuestion, TheCommandLinesSourceAndYearComeBeforeTheEnvironment)
{
    ScopedEnvironmentVariable key("CENSUS_API_KEY", QByteArray("test-key-1"));
    ScopedEnvironmentVariable site("ZIPDEMOGRAPHICS_SOURCE", QByteArray("site"));
    ScopedEnvironmentVariable year("ZIPDEMOGRAPHICS_CENSUS_YEAR", QByteArray("2019"));
    std::shared_ptr<CensusSession> session;
    ASSERT_TRUE(confirmUsableStartSettings(m_dialogs, {}, session, nullptr));
    EXPECT_FALSE(session);

    WindowSourceOptions census;
    census.source = Setting{QStringLiteral("census"), QStringLiteral("--source")};
    ASSERT_TRUE(confirmUsableStartSettings(m_dialogs, {census, {}}, session, nullptr));
    ASSERT_TRUE(session);
    EXPECT_EQ(session->settings().year, 2019);
    census.year = Setting{QStringLiteral("2022"), QStringLiteral("--year")};
    ASSERT_TRUE(confirmUsableStartSettings(m_dialogs, {census, {}}, session, nullptr));
    EXPECT_EQ(session->settings().year, 2022);
    EXPECT_TRUE(m_dialogs.messages().isEmpty());

    // Refused at start: a --year the census source cannot take, a --year with
    // the site source, a --source that names none.
    WindowSourceOptions badYear = census;
    badYear.year = Setting{QStringLiteral("1999"), QStringLiteral("--year")};
    WindowSourceOptions yearOnSite;
    yearOnSite.year = census.year;
    WindowSourceOptions badSource;
    badSource.source = Setting{QStringLiteral("atlas"), QStringLiteral("--source")};
    const struct {
        WindowSourceOptions options;
        const char* said;
    } refused[] = {{badYear, "--year expects a year"},
                   {yearOnSite, "--year goes with the census source"},
                   {badSource, "--source"}};
    for (const auto& [options, said] : refused) {
        m_dialogs.clearRecords();
        std::shared_ptr<CensusSession> none;
        EXPECT_FALSE(confirmUsableStartSettings(m_dialogs, {options, {}}, none, nullptr)) << said;
        EXPECT_FALSE(none);
        ASSERT_EQ(m_dialogs.messages().size(), 1) << said;
        EXPECT_TRUE(m_dialogs.messages()[0].text.startsWith(QLatin1String(said)))
            << m_dialogs.messages()[0].text.toStdString();
    }
}

// The real dialog: what is typed is never shown, OK waits for a key, and the box
// to keep it is checked at first.
TEST(QtKeyDialog, APasswordFieldWhoseAnswerIsTheTypedKeyAndTheBox)
{
    QtDialogs dialogs;
    QLineEdit::EchoMode echo = QLineEdit::Normal;
    bool okAtFirst = true;
    bool keepAtFirst = false;
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [&, poll] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog->objectName() != QLatin1String("KeyDialog"))
            return;
        poll->stop();
        poll->deleteLater();
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("KeyField"));
        auto* keep = dialog->findChild<QCheckBox*>(QStringLiteral("KeepKey"));
        echo = field->echoMode();
        QPushButton* ok = nullptr;
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text().remove('&') == QLatin1String("OK"))
                ok = button;
        }
        okAtFirst = ok->isEnabled();
        keepAtFirst = keep->isChecked();
        field->setText(QStringLiteral(" typed-key-8 "));
        keep->setChecked(false);
        ok->click();
    });
    poll->start(5);
    const KeyAnswer answer = dialogs.askForKey(QStringLiteral("Enter your key:"), QStringLiteral("Key"),
                                               QStringLiteral("Keep it"));
    EXPECT_EQ(echo, QLineEdit::Password);
    EXPECT_FALSE(okAtFirst);
    EXPECT_TRUE(keepAtFirst);
    EXPECT_EQ(answer.key, QStringLiteral("typed-key-8"));
    EXPECT_FALSE(answer.keep);
}

}  // namespace
}  // namespace zd::test
