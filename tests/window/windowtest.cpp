#include "tests/window/windowtest.h"

#include "core/applicationtitle.h"
#include "core/errortrap.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTimer>

namespace zd::test {
namespace {

const QStringList& knownZips()
{
    static const QStringList zips{QStringLiteral("03053"), QStringLiteral("01830"), QStringLiteral("55501")};
    return zips;
}

}  // namespace

QString programFolderWithArtwork() { return QStringLiteral(ZD_PROGRAM_FOLDER); }

QString WindowTest::locationName(const QString& zip)
{
    if (zip == QLatin1String("03053"))
        return QStringLiteral("Ashbury Ferns, NH");
    if (zip == QLatin1String("01830"))
        return QStringLiteral("Coldwater Mills, MA");
    return QStringLiteral("Tarn Hollow, MN");
}

ShownRows WindowTest::expectedRows(const QString& zip)
{
    return {locationName(zip), placeRows(zip, locationName(zip))};
}

QString WindowTest::brokenPage(const QString& zip) { return brokenPlacePageHtml(zip, locationName(zip)); }

WindowTest::WindowTest()
{
    for (const QString& zip : knownZips())
        m_site.setPage(zip, placePageHtml(zip, locationName(zip)));
    setShortenedApplicationTitle(productTitle());
}

WindowTest::~WindowTest()
{
    m_form.reset();
    qApp->setStyleSheet(QString());
}

Form1& WindowTest::openWindow(const QString& programFolder, std::shared_ptr<CensusSession> census)
{
    Form1Options options;
    options.census = std::move(census);
    options.programFolder = programFolder.isEmpty() ? m_emptyProgramFolder.path() : programFolder;
    options.endProgram = [this] { ++m_endProgramCalls; };
    m_form = std::make_unique<Form1>(m_dialogs, options);
    QObject::connect(&m_form->state(), &WindowState::mousePointerChanged,
                     [this](int pointer) { m_pointerHistory.append(pointer); });
    return *m_form;
}

QStringList WindowTest::texts(const ListModel& list, int column) const
{
    QStringList result;
    for (int position = 1; position <= list.rowCount(); ++position)
        result.append(list.cellText(position, column));
    return result;
}

QList<QPair<QString, QString>> WindowTest::demographicsRows() const
{
    const ListModel& list = m_form->state().demographicsList();
    QList<QPair<QString, QString>> rows;
    for (int position = 1; position <= list.rowCount(); ++position)
        rows.append({list.rowText(position), list.subItem(position, 1)});
    return rows;
}

QStringList WindowTest::messageTexts() const
{
    QStringList result;
    for (const ScriptedDialogs::Message& message : m_dialogs.messages())
        result.append(message.text);
    return result;
}

QString WindowTest::writeFile(const QString& name, const QByteArray& bytes)
{
    const QString path = m_folder.filePath(name);
    if (!writeWholeFile(path, bytes))
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

QString WindowTest::errorBox(const QString& procedure, int line, const QString& description) const
{
    return composeErrorMessage(QStringLiteral("in Tamberlin2021/08/31.") + procedure + QLatin1Char(' '),
                               line, description);
}

void WindowTest::atNextPump(std::function<void()> action)
{
    QTimer::singleShot(0, qApp, std::move(action));
}

void WindowTest::click(int button)
{
    m_form->pushButton(button)->click();
}

void WindowTest::openWithTheSamplesShown()
{
    openWindow();
    click(5);
    state().locationList().selectPosition(2);
    window().ListView2_Click();
    m_pointerHistory.clear();
    m_dialogs.clearRecords();
}

}  // namespace zd::test
