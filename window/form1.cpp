#include "window/form1.h"

#include "core/apperror.h"
#include "core/applicationpointer.h"
#include "core/applicationtitle.h"
#include "core/errortrap.h"
#include "core/eventpump.h"
#include "core/sharedroutines.h"
#include "core/unfinishedfiles.h"
#include "window/handcursor.h"
#include "core/programfiles.h"
#include "window/reportview.h"
#include "window/ziplistmenu.h"
#include "commands/censussession.h"
#include "commands/saveallcommand.h"
#include "commands/locationclick.h"
#include "commands/helpmessage.h"
#include "commands/loadcommand.h"
#include "commands/totalcommand.h"
#include "commands/zipcommands.h"
#include "commands/zipareacommands.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <cstdlib>

// The icons are compiled into this static library; the linker keeps them only when
// something refers to them.
static void initWindowResources() { Q_INIT_RESOURCE(window); }

namespace zd {
namespace {

QRect twipsRect(int left, int top, int width, int height)
{
    return {twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height)};
}

QFont arialBold(double points)
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(points);
    font.setWeight(QFont::Bold);
    return font;
}

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {32, 48, 128, 256}) {
        const QString path = QStringLiteral(":/zipdemographics/icons/zipdemographics-%1.png").arg(size);
        if (!QFile::exists(path))
            throw AppError(errors::fileNotFound());
        icon.addFile(path, QSize(size, size));
    }
    return icon;
}

}  // namespace

int virtualKeyCode(int qtKey)
{
    if (qtKey == Qt::Key_Delete)
        return kDeleteKeyCode;
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z))
        return qtKey;  // digits and letters have the same codes on both sides
    return kNoKeyCode;
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= kShiftMask;
    if (modifiers & Qt::ControlModifier)
        state |= kCtrlMask;
    if (modifiers & Qt::AltModifier)
        state |= kAltMask;
    return state;
}

Form1::Form1(Dialogs& dialogs, Form1Options options, QWidget* parent)
    : QWidget(parent), m_state(dialogs), m_options(std::move(options))
{
    initWindowResources();
    if (m_options.productTitle.isEmpty())
        m_options.productTitle = productTitle();
    if (!m_options.endProgram)
        m_options.endProgram = [] { std::_Exit(0); };
    ApplicationPointer::installHandlers([] { QGuiApplication::setOverrideCursor(Qt::WaitCursor); },
                                        [] { QGuiApplication::restoreOverrideCursor(); });
    createControls();
    createTabOrder();
    connectSignals();
    Form_Load();
}

QString Form1::caption() const
{
    if (!census())
        return m_options.productTitle;
    return m_options.productTitle + QStringLiteral(" - ") + census()->sourceTitle();
}

QString Form1::programFolder() const
{
    return m_options.programFolder.isEmpty() ? QCoreApplication::applicationDirPath()
                                             : m_options.programFolder;
}

QString Form1::besideProgram(const QString& relativePath) const
{
    return findProgramFile(programFolder(), relativePath);
}

// --- Controls --------------------------------------------------------------------

void Form1::createControls()
{
    setObjectName(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
                   | Qt::WindowCloseButtonHint);
    setFixedSize(twipsToPixels(8040), twipsToPixels(9300));
    setFont(arialBold(9));
    setBackgroundColour(Qt::white);
    setMouseTracking(true);
    watchPointer(this, Hover::Background);

    // Top to bottom, in twips; the creation order is the order of the layout.
    createButton(1, QStringLiteral("Help"), twipsRect(120, 120, 7800, 405));
    createListView(1, m_state.zipList(), twipsRect(120, 630, 7800, 2295));
    createButton(6, QStringLiteral("Add One Zip Code"), twipsRect(120, 3015, 3840, 405));
    createButton(3, QStringLiteral("Load Zip Code/s From File"), twipsRect(4080, 3015, 3840, 405));
    createButton(4, QStringLiteral("Clear List"), twipsRect(120, 3540, 3840, 405));
    createButton(5, QStringLiteral("Load Sample/Example Zips"), twipsRect(4080, 3540, 3840, 405));
    createListView(2, m_state.locationList(), twipsRect(120, 4050, 7800, 2295));
    createListView(3, m_state.demographicsList(), twipsRect(120, 6420, 7800, 2295));
    createButton(2, QStringLiteral("Save Demographic Results For All Zip Codes Above"),
                 twipsRect(120, 8800, 7800, 405));

    const QString tip = QStringLiteral("Click item to show demographics results.");
    m_lists[1]->setToolTip(tip);
    m_lists[1]->viewport()->setToolTip(tip);
    for (int number = 1; number <= 6; ++number)
        watchPointer(pushButton(number), Hover::PushButton, number);
    for (int number = 1; number <= 3; ++number) {
        watchPointer(listView(number), Hover::ListView, number);
        watchPointer(listView(number)->viewport(), Hover::ListView, number);
        watchPointer(listView(number)->header(), Hover::ListView, number);
        watchPointer(listView(number)->header()->viewport(), Hover::ListView, number);
    }
}

void Form1::createButton(int number, const QString& caption, const QRect& geometry)
{
    auto* button = new QPushButton(caption, this);
    m_buttons.at(number - 1) = button;
    button->setObjectName(QStringLiteral("PushButton%1").arg(number));
    button->setFont(arialBold(11.25));
    button->setGeometry(geometry);
    button->setAutoDefault(false);
}

void Form1::createListView(int number, ListModel& model, const QRect& geometry)
{
    auto* view = new ReportView(model, this);
    m_lists.at(number - 1) = view;
    view->setObjectName(QStringLiteral("ListView%1").arg(number));
    view->setFont(arialBold(9));
    view->setGeometry(geometry);
}

void Form1::createTabOrder()
{
    const QList<QWidget*> order{listView(1), pushButton(3), pushButton(4), pushButton(6), listView(2),
                                listView(3), pushButton(2), pushButton(5), pushButton(1)};
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

void Form1::connectSignals()
{
    const std::array<void (Form1::*)(), 6> clicks{
        &Form1::PushButton1_Click, &Form1::PushButton2_Click, &Form1::PushButton3_Click,
        &Form1::PushButton4_Click, &Form1::PushButton5_Click, &Form1::PushButton6_Click};
    for (int number = 1; number <= 6; ++number)
        connect(pushButton(number), &QPushButton::clicked, this, clicks[number - 1]);
    connect(listView(2), &QAbstractItemView::clicked, this, &Form1::ListView2_Click);
    addListView2Menu();
    connect(&m_state, &WindowState::mousePointerChanged, this, &Form1::showMousePointer);
    if (census())
        connect(census(), &CensusSession::titleChanged, this, [this] { setWindowTitle(caption()); });
    listView(1)->installEventFilter(this);
    installZipListMenu(listView(1), m_state.zipList(), [this] { addZipsNearSelected(m_state, census()); },
                       [this] { addZipsOfSelectedState(m_state, census()); });
}

QPushButton* Form1::pushButton(int number) const { return m_buttons.at(number - 1); }

ReportView* Form1::listView(int number) const { return m_lists.at(number - 1); }

void Form1::setBackgroundColour(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, colour);
    setPalette(palette);
    setAutoFillBackground(true);
}

// --- Start-up and shutdown ---------------------------------------------------------

void Form1::Form_Load()
{
    ErrorTrap trap(m_state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.Form_Load "));
    const QString cursorPath = besideProgram(QStringLiteral("HAND-M.CUR"));
    trap.run(100, [&] { ApplySkin(); });
    if (trap.test(102, [&] { return FileExists(cursorPath); }))
        trap.run(104, [&] {
            m_mouseIcon = loadCursorFile(cursorPath);
            showMousePointer(m_state.mousePointer());
        });
    trap.run(106, [&] { setWindowTitle(caption()); });
    trap.run(108, [&] { setWindowIcon(applicationIcon()); });
    trap.run(110, [&] { setShortenedApplicationTitle(m_options.productTitle); });
    addColumns(trap);
}

void Form1::addColumns(ErrorTrap& trap)
{
    ListModel& zips = m_state.zipList();
    ListModel& locations = m_state.locationList();
    ListModel& demographics = m_state.demographicsList();
    trap.run(112, [&] { zips.addColumn(QStringLiteral("US Zip Codes")); });
    trap.run(114, [&] { zips.setColumnWidth(1, 7000); });
    trap.run(116, [&] { locations.addColumn(QStringLiteral("US Zip Codes")); });
    trap.run(118, [&] { locations.addColumn(QStringLiteral("Location Name")); });
    trap.run(120, [&] { locations.setColumnWidth(1, 3500); });
    trap.run(122, [&] { locations.setColumnWidth(2, 3500); });
    trap.run(124, [&] { demographics.addColumn(QStringLiteral("Demographics")); });
    trap.run(126, [&] { demographics.addColumn(QStringLiteral(" Value")); });
    trap.run(128, [&] { demographics.setColumnWidth(1, 3500); });
    trap.run(130, [&] { demographics.setColumnWidth(2, 3500); });
}

void Form1::ApplySkin()
{
    const QString skinPath = besideProgram(QStringLiteral("x/o.cjs"));
    if (!QFileInfo(skinPath).isFile())
        return;
    const QColor buttonFace = QApplication::palette().color(QPalette::Button);
    setBackgroundColour(buttonFace);
    m_skinFramework.invoke(SkinFramework::kLoadSkinMethod, {skinPath, QString()});
    const int options = m_skinFramework.propertyGet(SkinFramework::kOptionsProperty).toInt();
    m_skinFramework.propertyPut(SkinFramework::kOptionsProperty, options | 1);
    m_skinFramework.propertyPut(SkinFramework::kApplicationWideProperty, true);
    m_skinFramework.propertyPut(SkinFramework::kScrollBarsProperty, true);
    m_skinFramework.invoke(SkinFramework::kApplyWindowMethod, {static_cast<qulonglong>(winId())});
}

void Form1::Form_QueryUnload(bool& /*cancel*/, int /*unloadMode*/)
{
    ErrorTrap trap(m_state.dialogs(), QStringLiteral("in Tamberlin2021/08/31.Form1.Form_QueryUnload "));
    trap.run(100, [] { pumpEvents(); });
    trap.run(102, [] { pumpEvents(); });
}

void Form1::Form_Unload(bool& /*cancel*/)
{
    // Ends the program at once, also from inside a command's wait: the command
    // does not run to its end. A file it was writing goes first, temporary file and all.
    abandonUnfinishedFiles();
    m_options.endProgram();
}

void Form1::closeEvent(QCloseEvent* event)
{
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    Form_Unload(cancel);
    event->accept();
}

void Form1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (m_shownOnce)
        return;
    m_shownOnce = true;
    if (const QScreen* shown = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        shown->availableGeometry()));
    listView(1)->setFocus(Qt::OtherFocusReason);
}

// --- Pointer -----------------------------------------------------------------------

void Form1::watchPointer(QWidget* widget, Hover hover, int number)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
    m_hoverTargets.insert(widget, {hover, number});
}

void Form1::showMousePointer(int pointer)
{
    if (pointer == WindowState::kPointerBusy)
        setCursor(Qt::WaitCursor);
    else if (pointer == WindowState::kPointerCustom && m_mouseIcon)
        setCursor(*m_mouseIcon);
    else
        setCursor(Qt::ArrowCursor);
}

void Form1::Form_MouseMove() { m_state.pointerMovedOver(WindowState::HoverTarget::Background); }
void Form1::ListView1_MouseMove() { m_state.pointerMovedOver(WindowState::HoverTarget::ListView); }
void Form1::ListView2_MouseMove() { m_state.pointerMovedOver(WindowState::HoverTarget::ListView); }
void Form1::ListView3_MouseMove() { m_state.pointerMovedOver(WindowState::HoverTarget::ListView); }
void Form1::PushButton_MouseMove(int /*number*/)
{
    m_state.pointerMovedOver(WindowState::HoverTarget::PushButton);
}

// A move that a control ignored reaches the window too; only moves over the bare
// background are the background's.
bool Form1::isPassedOnFromAControl(QObject* watched, QEvent* event) const
{
    if (watched != this)
        return false;
    const auto* move = static_cast<QMouseEvent*>(event);
    return childAt(move->position().toPoint()) != nullptr;
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && !isPassedOnFromAControl(watched, event)) {
        const auto target = m_hoverTargets.constFind(watched);
        if (target != m_hoverTargets.cend()) {
            const auto [hover, number] = *target;
            if (hover == Hover::PushButton)
                PushButton_MouseMove(number);
            else if (hover == Hover::Background)
                Form_MouseMove();
            else if (number == 1)
                ListView1_MouseMove();
            else if (number == 2)
                ListView2_MouseMove();
            else
                ListView3_MouseMove();
        }
    } else if (event->type() == QEvent::KeyPress && watched == listView(1)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        ListView1_KeyDown(virtualKeyCode(key->key()), shiftState(key->modifiers()));
    }
    return QWidget::eventFilter(watched, event);
}

// --- Commands ----------------------------------------------------------------------

void Form1::PushButton1_Click() { zd::PushButton1_Click(m_state, census()); }
void Form1::PushButton2_Click() { zd::PushButton2_Click(m_state, census()); }
void Form1::PushButton3_Click() { zd::PushButton3_Click(m_state, census()); }
void Form1::PushButton4_Click() { zd::PushButton4_Click(m_state); }
void Form1::PushButton5_Click() { zd::PushButton5_Click(m_state, census()); }
void Form1::PushButton6_Click() { zd::PushButton6_Click(m_state, census()); }
void Form1::ListView1_KeyDown(int keyCode, int shift) { zd::ListView1_KeyDown(m_state, keyCode, shift); }
void Form1::ListView2_Click() { showClickedLocation(m_state, census()); }
void Form1::ListView2_ShowTotal() { ShowTotalOfListedPlaces(m_state, census()); }

// The locations list's context menu: its entries are the list's actions.
void Form1::addListView2Menu()
{
    auto* total = new QAction(QString::fromLatin1(showTotalMenuText()), listView(2));
    listView(2)->addAction(total);
    listView(2)->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(total, &QAction::triggered, this, &Form1::ListView2_ShowTotal);
}

}  // namespace zd
