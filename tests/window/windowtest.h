#pragma once

#include "tests/support/scripteddialogs.h"
#include "window/form1.h"
#include "tests/support/samplepages.h"
#include "tests/support/testsite.h"
#include "tests/support/wholefile.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace zd::test {

// The figures the test site serves for a zip code, as the demographics list shows them.
struct ShownRows {
    QString name;
    QList<QPair<QString, QString>> rows;  // the name row first, then figures, then incomes
};

// The real window, offscreen, over scripted dialogs and a demographics site on
// loopback that knows the two sample zip codes and a third one.
class WindowTest : public ::testing::Test {
public:
    static QString locationName(const QString& zip);

protected:
    WindowTest();
    ~WindowTest() override;

    // A window whose program folder holds no skin and no cursor, unless given one;
    // on the census source when given its session.
    Form1& openWindow(const QString& programFolder = QString(), std::shared_ptr<CensusSession> census = {});
    Form1& window() { return *m_form; }
    WindowState& state() { return m_form->state(); }

    // The rows that showing this zip code puts into the demographics list.
    static ShownRows expectedRows(const QString& zip);
    // A site page whose figure table breaks off after one row.
    static QString brokenPage(const QString& zip);

    QStringList texts(const ListModel& list, int column = 1) const;
    QList<QPair<QString, QString>> demographicsRows() const;
    QStringList messageTexts() const;
    QString writeFile(const QString& name, const QByteArray& bytes);
    QString errorBox(const QString& procedure, int line, const QString& description) const;
    // Runs the action at the next pump of window events: inside a command's wait.
    static void atNextPump(std::function<void()> action);
    void click(int button);
    // The window opened with the two sample locations listed and the second one
    // shown, then the pointers and dialogs recorded so far forgotten.
    void openWithTheSamplesShown();

    ScriptedDialogs m_dialogs;
    TestSite m_site;
    QTemporaryDir m_folder;
    QTemporaryDir m_emptyProgramFolder;
    QList<int> m_pointerHistory;  // every MousePointer the window took, in order
    int m_endProgramCalls = 0;

private:
    std::unique_ptr<Form1> m_form;
};

QString programFolderWithArtwork();  // the build's bin folder, where the skin and cursor are

}  // namespace zd::test
