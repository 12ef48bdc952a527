#pragma once

#include "core/windowstate.h"
#include "window/skinframework.h"

#include <QCursor>
#include <QHash>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class QPushButton;

namespace zd {

class CensusSession;
class Dialogs;
class ErrorTrap;
class ReportView;

// What the window takes from its surroundings; tests replace it.
struct Form1Options {
    QString programFolder;             // where x/o.cjs and HAND-M.CUR are (or in ../share/zipdemographics); empty: the executable's folder
    QString productTitle;              // empty: the product title
    std::function<void()> endProgram;  // empty: the process ends at once
    std::shared_ptr<CensusSession> census;  // the census source's session; none: the site's figures
};

// The main window: six push buttons and three list views over the window state.
// Every piece of work starts in one of its handlers; the commands themselves work
// on the WindowState and know no widgets.
class Form1 : public QWidget {
    Q_OBJECT
public:
    explicit Form1(Dialogs& dialogs, Form1Options options = {}, QWidget* parent = nullptr);

    WindowState& state() { return m_state; }
    SkinFramework& skinFramework() { return m_skinFramework; }  // SkinFramework1
    QPushButton* pushButton(int number) const;                  // PushButton1..6
    ReportView* listView(int number) const;                     // ListView1..3
    const std::optional<QCursor>& mouseIcon() const { return m_mouseIcon; }
    QString programFolder() const;
    // The caption: the product title, with the census source followed by
    // " - " and the source and year shown.
    QString caption() const;
    CensusSession* census() const { return m_options.census.get(); }

    // Start-up and shutdown.
    void Form_Load();
    void ApplySkin();
    void Form_QueryUnload(bool& cancel, int unloadMode);
    void Form_Unload(bool& cancel);

    // The pointer rule's hover handlers.
    void Form_MouseMove();
    void ListView1_MouseMove();
    void ListView2_MouseMove();
    void ListView3_MouseMove();
    void PushButton_MouseMove(int number);

    // Commands.
    void PushButton1_Click();
    void PushButton2_Click();
    void PushButton3_Click();
    void PushButton4_Click();
    void PushButton5_Click();
    void PushButton6_Click();
    void ListView1_KeyDown(int keyCode, int shift);
    void ListView2_Click();
    void ListView2_ShowTotal();  // the locations list's context menu: "Show the total of the listed places"

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void addListView2Menu();
    enum class Hover { Background, PushButton, ListView };

    void createControls();
    void createButton(int number, const QString& caption, const QRect& geometry);
    void createListView(int number, ListModel& model, const QRect& geometry);
    void createTabOrder();
    void connectSignals();
    void watchPointer(QWidget* widget, Hover hover, int number = 0);
    bool isPassedOnFromAControl(QObject* watched, QEvent* event) const;
    void showMousePointer(int pointer);
    void setBackgroundColour(const QColor& colour);
    void addColumns(ErrorTrap& trap);
    QString besideProgram(const QString& relativePath) const;

    WindowState m_state;
    SkinFramework m_skinFramework;
    Form1Options m_options;
    std::optional<QCursor> m_mouseIcon;
    std::array<QPushButton*, 6> m_buttons{};
    std::array<ReportView*, 3> m_lists{};
    QHash<QObject*, std::pair<Hover, int>> m_hoverTargets;
    bool m_shownOnce = false;
};

// A Qt key as the platform's virtual-key code the Delete key handler tests
// (kDeleteKeyCode for Delete); kNoKeyCode for a key it has no code for.
constexpr int kNoKeyCode = 0;
int virtualKeyCode(int qtKey);

// The modifier keys held as the classic shift state: the sum of these masks.
constexpr int kShiftMask = 1;
constexpr int kCtrlMask = 2;
constexpr int kAltMask = 4;
int shiftState(Qt::KeyboardModifiers modifiers);

}  // namespace zd
