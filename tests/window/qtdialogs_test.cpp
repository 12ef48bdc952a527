#include "window/qtdialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace zd {
namespace {

// Acts on the modal dialog once it is up, from inside its own event loop.
template <typename Dialog>
void whenShown(std::function<void(Dialog*)> act)
{
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(5);
}

FileDialogSettings listSettings(const QString& title)
{
    return {QString(), 2621953, title, QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|")};
}

class QtDialogsTest : public ::testing::Test {
protected:
    QString touch(const QString& name)
    {
        QFile file(m_folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("03053\r\n");
        return file.fileName();
    }
    QTemporaryDir m_folder;
    QtDialogs m_dialogs;
};

TEST_F(QtDialogsTest, ErrorStyleShowsTheWarningIconAndPlainStyleNone)
{
    for (int style : {48, 0}) {
        QMessageBox::Icon icon = QMessageBox::Question;
        QString title;
        QString text;
        whenShown<QMessageBox>([&](QMessageBox* box) {
            icon = box->icon();
            title = box->windowTitle();
            text = box->text();
            EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
            box->accept();
        });
        m_dialogs.showMessage(QStringLiteral("first\r\nsecond\r\rthird"), style, QStringLiteral("Application Error"));
        EXPECT_EQ(icon, style == 48 ? QMessageBox::Warning : QMessageBox::NoIcon);
        EXPECT_EQ(title, QStringLiteral("Application Error"));
        EXPECT_EQ(text, QStringLiteral("first\nsecond\n\nthird"));
    }
}

TEST_F(QtDialogsTest, InputBoxGivesTheTypedTextOnOkAndEmptyTextOnCancel)
{
    whenShown<QInputDialog>([](QInputDialog* box) {
        EXPECT_EQ(box->labelText(), QStringLiteral("Enter zip code to add:"));
        EXPECT_EQ(box->windowTitle(), QStringLiteral("Title"));
        box->setTextValue(QStringLiteral("  03053 "));
        box->accept();
    });
    EXPECT_EQ(m_dialogs.inputBox(QStringLiteral("Enter zip code to add:"), QStringLiteral("Title"), QString()),
              QStringLiteral("  03053 "));
    whenShown<QInputDialog>([](QInputDialog* box) {
        box->setTextValue(QStringLiteral("typed, then cancelled"));
        box->reject();
    });
    EXPECT_EQ(m_dialogs.inputBox(QStringLiteral("p"), QStringLiteral("t"), QString()), QString());
}

TEST_F(QtDialogsTest, OpenDialogAnswersSeveralFilesInTheClassicForm)
{
    touch(QStringLiteral("a.txt"));
    touch(QStringLiteral("b.txt"));
    whenShown<QFileDialog>([this](QFileDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Load"));
        EXPECT_EQ(dialog->fileMode(), QFileDialog::ExistingFiles);
        EXPECT_EQ(dialog->nameFilters(),
                  (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")}));
        dialog->setDirectory(m_folder.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"a.txt\" \"b.txt\""));
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, as its Open or Save button does
    });
    const QString answer = m_dialogs.showOpen(listSettings(QStringLiteral("Load")));
    EXPECT_EQ(answer.split(QChar(0)), (QStringList{m_folder.path(), QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
}

TEST_F(QtDialogsTest, OpenDialogCancelGivesEmptyText)
{
    whenShown<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(m_dialogs.showOpen(listSettings(QStringLiteral("Load"))), QString());
}

TEST_F(QtDialogsTest, SaveDialogTakesAnExistingNameWithoutAskingAndAddsNoExtension)
{
    const QString existing = touch(QStringLiteral("result"));
    whenShown<QFileDialog>([&](QFileDialog* dialog) {
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_TRUE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->setDirectory(m_folder.path());
        dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("result"));
        static_cast<QDialog*>(dialog)->accept();  // the dialog's own accept, as its Open or Save button does
    });
    EXPECT_EQ(m_dialogs.showSave(listSettings(QStringLiteral("Save"))).path, existing);
}

TEST_F(QtDialogsTest, SaveDialogAnswersTheFilterChosenCountedFromOne)
{
    FileDialogSettings settings = listSettings(QStringLiteral("Save"));
    settings.filter += QStringLiteral("CSV Files (*.csv)|*.csv|Excel Workbooks (*.xlsx)|*.xlsx|");
    for (const int chosen : {1, 2, 4}) {
        whenShown<QFileDialog>([&](QFileDialog* dialog) {
            EXPECT_EQ(dialog->nameFilters().size(), 4);
            dialog->selectNameFilter(dialog->nameFilters().at(chosen - 1));
            dialog->setDirectory(m_folder.path());
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("result"));
            static_cast<QDialog*>(dialog)->accept();
        });
        const SaveAnswer answer = m_dialogs.showSave(settings);
        EXPECT_EQ(answer.filterIndex, chosen);
        EXPECT_EQ(answer.path, m_folder.filePath(QStringLiteral("result")));  // no extension added
    }
}

// --- The translations between the classic dialog forms and Qt's.

TEST(QtDialogsForm, FilterBecomesQtNameFiltersWithStarDotStarMatchingEverything)
{
    EXPECT_EQ(qtNameFilters(QStringLiteral("Text Files (*.txt)|*.txt|All Files (*.*)|*.*|")),
              (QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*)")}));
    EXPECT_EQ(qtNameFilters(QStringLiteral("Lists|*.txt;*.lst")), QStringList{QStringLiteral("Lists (*.txt *.lst)")});
    EXPECT_TRUE(qtNameFilters(QString()).isEmpty());
}

TEST(QtDialogsForm, OpenAnswerTakesTheClassicForm)
{
    EXPECT_EQ(classicOpenAnswer({}), QString());
    EXPECT_EQ(classicOpenAnswer({QStringLiteral("/data/lists/a.txt")}), QStringLiteral("/data/lists/a.txt"));
    const QChar nul(0);
    EXPECT_EQ(classicOpenAnswer({QStringLiteral("/data/lists/a.txt"), QStringLiteral("/data/lists/b.txt")}),
              QStringLiteral("/data/lists") + nul + QStringLiteral("a.txt") + nul + QStringLiteral("b.txt"));
    EXPECT_EQ(classicOpenAnswer({QStringLiteral("/a.txt"), QStringLiteral("/b.txt")}),
              QStringLiteral("/") + nul + QStringLiteral("a.txt") + nul + QStringLiteral("b.txt"));
    // Names from different folders stay reachable from the folder they share.
    EXPECT_EQ(classicOpenAnswer({QStringLiteral("/data/one/a.txt"), QStringLiteral("/data/two/b.txt")}),
              QStringLiteral("/data") + nul + QStringLiteral("one/a.txt") + nul + QStringLiteral("two/b.txt"));
}

TEST(QtDialogsForm, MessageLineEndsShowAsLineBreaks)
{
    EXPECT_EQ(displayedMessageText(QStringLiteral("a\r\nb\r\rc")), QStringLiteral("a\nb\n\nc"));
}

}  // namespace
}  // namespace zd
