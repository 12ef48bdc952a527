#include "core/apperror.h"
#include "window/form1.h"
#include "window/handcursor.h"
#include "window/skinframework.h"

#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace zd {
namespace {

QString besideTheProgram(const QString& name)
{
    return QDir(QStringLiteral(ZD_PROGRAM_FOLDER)).filePath(name);
}

QString describedFailure(const std::function<void()>& action)
{
    try {
        action();
    } catch (const AppError& error) {
        return error.description();
    }
    return QStringLiteral("(no failure)");
}

QString writeTemporary(QTemporaryDir& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

TEST(HandCursor, TheShippedCursorIsA32PixelHandWithItsHotspotOnTheFingertip)
{
    const QCursor hand = loadCursorFile(besideTheProgram(QStringLiteral("HAND-M.CUR")));
    EXPECT_EQ(hand.hotSpot(), QPoint(12, 1));
    const QImage image = hand.pixmap().toImage();
    ASSERT_EQ(image.size(), QSize(32, 32));
    EXPECT_GT(qAlpha(image.pixel(12, 1)), 0);   // the hotspot lies on the drawing
    EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);    // and the corners are see-through
    EXPECT_EQ(qAlpha(image.pixel(31, 0)), 0);
}

TEST(HandCursor, HotspotIsReadFromBytesTenToThirteen)
{
    QByteArray bytes(22, '\0');
    bytes[10] = char(0x34);
    bytes[11] = char(0x01);
    bytes[12] = char(0x07);
    EXPECT_EQ(cursorFileHotSpot(bytes), QPoint(0x134, 7));
    EXPECT_EQ(cursorFileHotSpot(QByteArray(13, '\x05')), QPoint(0, 0));
}

TEST(HandCursor, AFileWithoutAnImageFailsAsAnInvalidPicture)
{
    QTemporaryDir folder;
    const QString garbage = writeTemporary(folder, QStringLiteral("bad.cur"), QByteArray(64, 'z'));
    EXPECT_EQ(describedFailure([&] { loadCursorFile(garbage); }), QStringLiteral("Invalid picture"));
    EXPECT_EQ(describedFailure([&] { loadCursorFile(folder.filePath(QStringLiteral("none.cur"))); }),
              errors::fileNotFound());
}

class SkinEngine : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_skin = writeTemporary(m_folder, QStringLiteral("o.cjs"),
                                "/* a skin */\n#Form1 { background: red; }\nQPushButton { color: blue; }\n"
                                "QScrollBar:vertical { width: 9px; }\n");
        m_window.setObjectName(QStringLiteral("Form1"));
    }
    QVariant handle() { return static_cast<qulonglong>(m_window.winId()); }

    QTemporaryDir m_folder;
    QString m_skin;
    QWidget m_window;
    SkinFramework m_engine;
};

TEST_F(SkinEngine, WithoutTheControlsOptionOnlyTheWindowsOwnRulesApply)
{
    m_engine.invoke(2, {m_skin, QString()});
    m_engine.invoke(3, {handle()});
    EXPECT_TRUE(m_window.styleSheet().contains(QLatin1String("#Form1")));
    EXPECT_FALSE(m_window.styleSheet().contains(QLatin1String("QPushButton")));
}

TEST_F(SkinEngine, ScrollBarRulesTakePartOnlyWhenSwitchedOn)
{
    m_engine.invoke(2, {m_skin, QString()});
    m_engine.propertyPut(1, 1);
    m_engine.invoke(3, {handle()});
    EXPECT_TRUE(m_window.styleSheet().contains(QLatin1String("QPushButton")));
    EXPECT_FALSE(m_window.styleSheet().contains(QLatin1String("QScrollBar")));
    m_engine.propertyPut(10, true);
    m_engine.invoke(3, {handle()});
    EXPECT_TRUE(m_window.styleSheet().contains(QLatin1String("QScrollBar")));
}

TEST_F(SkinEngine, RejectsWhatIsNoSkinAndMembersItDoesNotHave)
{
    const QString noSkin = QStringLiteral("Invalid skin file");
    for (const QByteArray& text : {QByteArray(""), QByteArray("QPushButton { color: red;"),
                                   QByteArray("QPushButton { a { b } }"), QByteArray("#A { } stray"),
                                   QByteArray("/* open comment")}) {
        const QString path = writeTemporary(m_folder, QStringLiteral("bad.cjs"), text);
        EXPECT_EQ(describedFailure([&] { m_engine.invoke(2, {path, QString()}); }), noSkin) << text.data();
    }
    const QString unsupported = QStringLiteral("Object doesn't support this property or method");
    EXPECT_EQ(describedFailure([&] { m_engine.invoke(7, {}); }), unsupported);
    EXPECT_EQ(describedFailure([&] { m_engine.propertyGet(4); }), unsupported);
    EXPECT_EQ(describedFailure([&] { m_engine.invoke(3, {handle()}); }), errors::invalidArgument());
    EXPECT_EQ(describedFailure([&] { m_engine.invoke(2, {m_skin, QStringLiteral("blue")}); }),
              errors::invalidArgument());
    EXPECT_EQ(describedFailure([&] { m_engine.invoke(2, {m_folder.filePath(QStringLiteral("gone")), QString()}); }),
              errors::fileNotFound());
    EXPECT_FALSE(m_engine.isLoaded());
}

}  // namespace
}  // namespace zd
