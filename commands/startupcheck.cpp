#include "commands/startupcheck.h"

#include "census/censussettingreaders.h"
#include "commands/censusenvironment.h"
#include "commands/censussession.h"
#include "core/siteconfig.h"

namespace zd {
namespace {

const QString kCorrectOrRemoveIt = QStringLiteral("Correct or remove it");

// A setting the program cannot start with: what is wrong with it, and what the
// user is to do about it ("Correct or remove ZIPDEMOGRAPHICS_SITE"), which the
// site's line on the error stream says as well.
struct StartRefusal {
    QString problem;
    QString remedy = kCorrectOrRemoveIt;
    bool remedyOnErrorStream = false;
};

std::optional<StartRefusal> siteRefusal()
{
    const QString error = readSiteSetting(std::nullopt).error;
    if (error.isEmpty())
        return std::nullopt;
    return StartRefusal{error, QStringLiteral("Correct or remove ZIPDEMOGRAPHICS_SITE"), true};
}

// The source's settings; the census source's session when they are all usable,
// with a word on the stored key in keyNotice when it cannot be used or its file
// is open to others.
std::optional<StartRefusal> sourceRefusal(const WindowSourceOptions& options, std::shared_ptr<CensusSession>& session,
                                          QString& keyNotice)
{
    const SettingReading<DataSource> source = readSourceSetting(options.source);
    if (!source.error.isEmpty())
        return StartRefusal{source.error, options.source ? kCorrectOrRemoveIt
                                                         : QStringLiteral("Correct or remove ZIPDEMOGRAPHICS_SOURCE")};
    if (source.value != DataSource::Census) {
        if (options.year)
            return StartRefusal{censusOptionWithSiteSource(options.year->origin)};
        return std::nullopt;
    }
    const CensusEnvironment environment = readCensusEnvironment(options.year);
    if (!environment.error.isEmpty())
        return StartRefusal{environment.error};
    session = std::make_shared<CensusSession>(environment.census, environment.batch);
    keyNotice = environment.keyNotice;
    return std::nullopt;
}

std::optional<StartRefusal> firstRefusal(const WindowArguments& arguments, std::shared_ptr<CensusSession>& session,
                                         QString& keyNotice)
{
    if (std::optional<StartRefusal> site = siteRefusal())
        return site;
    if (!arguments.error.isEmpty())
        return StartRefusal{arguments.error, QStringLiteral("Correct it")};
    return sourceRefusal(arguments.options, session, keyNotice);
}

QString firstLetterUpper(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString firstLetterLower(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toLower();
    return text;
}

void refuse(Dialogs& dialogs, const StartRefusal& refusal, std::FILE* errorStream)
{
    // Also where a terminal sees it: without a display to show the box on, the
    // program would otherwise wait on it in silence.
    if (errorStream) {
        const QString line = refusal.remedyOnErrorStream
                                 ? refusal.problem + "; " + firstLetterLower(refusal.remedy)
                                 : refusal.problem;
        std::fprintf(errorStream, "zipdemographics: %s\n", line.toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs,
                   firstLetterUpper(refusal.problem) + ".\r\n\r\n" + refusal.remedy
                       + ", then start the program again.",
                   kMessageExclamation);
}

// The stored key's notice, on the error stream too: the program starts all the same.
void warnOfStoredKey(Dialogs& dialogs, const QString& notice, std::FILE* errorStream)
{
    if (errorStream) {
        std::fprintf(errorStream, "zipdemographics: warning: %s\n", notice.toLocal8Bit().constData());
        std::fflush(errorStream);
    }
    showMessageBox(dialogs, firstLetterUpper(notice) + '.', kMessageExclamation);
}

}  // namespace

bool confirmUsableStartSettings(Dialogs& dialogs, const WindowArguments& arguments,
                                std::shared_ptr<CensusSession>& session, std::FILE* errorStream)
{
    session.reset();  // a session is made only once every setting is found usable
    QString keyNotice;
    const std::optional<StartRefusal> refusal = firstRefusal(arguments, session, keyNotice);
    if (!refusal) {
        if (!keyNotice.isEmpty())
            warnOfStoredKey(dialogs, keyNotice, errorStream);
        return true;
    }
    refuse(dialogs, *refusal, errorStream);
    return false;
}

}  // namespace zd
