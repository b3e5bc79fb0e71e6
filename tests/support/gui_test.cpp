#include "support/gui_test.h"

#include "app/startup.h"
#include "portal/profile.h"
#include "shell/async.h"
#include "shell/control_dump.h"
#include "shell/event_routines.h"
#include "shell/forms.h"
#include "shell/grid_widget.h"
#include "shell/main_view.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "update/update_check.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fundlens::test {

bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!predicate()) {
        if (timer.elapsed() > timeoutMs) {
            return predicate();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(2);
    }
    return true;
}

void ProcessEvents() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

QWidget* FindControl(const Window& window, std::string_view name) {
    QWidget* w = window.widget();
    if (w == nullptr) {
        return nullptr;
    }
    return w->findChild<QWidget*>(
        QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())),
        Qt::FindDirectChildrenOnly);
}

namespace {

QPoint Resolve(QWidget* widget, QPoint at) {
    return at == QPoint(-1, -1) ? widget->rect().center() : at;
}

// The widget that receives mouse input at the widget's own position (a scroll area's
// viewport), with the point in its coordinates.
std::pair<QWidget*, QPoint> MouseTarget(QWidget* widget, QPoint at) {
    if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) {
        QWidget* viewport = area->viewport();
        return {viewport, viewport->mapFrom(widget, at)};
    }
    return {widget, at};
}

void ActivateWindowOf(QWidget* widget) {
    QWidget* window = widget->window();
    if (!window->isActiveWindow()) {
        window->activateWindow();
        WaitUntil([window] { return window->isActiveWindow(); }, 2000);
    }
}

} // namespace

void Click(QWidget* widget, QPoint at) {
    auto [target, point] = MouseTarget(widget, Resolve(widget, at));
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
}

void RightClick(QWidget* widget, QPoint at) {
    auto [target, point] = MouseTarget(widget, Resolve(widget, at));
    QTest::mouseClick(target, Qt::RightButton, Qt::NoModifier, point);
}

void DoubleClick(QWidget* widget, QPoint at) {
    auto [target, point] = MouseTarget(widget, Resolve(widget, at));
    // As the window system delivers it: a click, then the double-click event.
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, point);
    QTest::mouseDClick(target, Qt::LeftButton, Qt::NoModifier, point);
}

void MoveMouse(QWidget* widget, QPoint at) {
    auto [target, point] = MouseTarget(widget, at);
    QMouseEvent move(QEvent::MouseMove, point, target->mapToGlobal(point), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(widget, c.toLatin1());
            continue;
        }
        // Chinese comes from an input method: one committed character per stroke.
        QInputMethodEvent commit;
        commit.setCommitString(QString(c));
        QCoreApplication::sendEvent(widget, &commit);
    }
}

void ShowListRow(int row, const std::vector<Text>& cells,
                 const std::vector<std::optional<Rgb>>& colors) {
    FundListView& list = State().Views.fundList;
    if (static_cast<int>(list.rows.size()) < row)
        list.rows.resize(static_cast<std::size_t>(row));
    FundListRow& shown = list.rows[static_cast<std::size_t>(row - 1)];
    for (std::size_t c = 0; c < shown.size(); ++c) {
        shown[c].text = c < cells.size() ? cells[c] : Text();
        shown[c].color = c < colors.size() ? colors[c] : std::nullopt;
    }
    if (list.rowCount < row + 1) {
        list.rowCount = row + 1;
        ShowFundListRowCount();
    }
    ShowFundListRows(row, 1);
}

void ShowListRowCount(int rows) {
    State().Views.fundList.rowCount = rows;
    ShowFundListRowCount();
}

void ShowPinnedCode(const Text& code) {
    State().Views.compareRows.pinned[CodeColumn].text = code;
    ShowCompareRows();
}

void Focus(QWidget* widget) {
    ActivateWindowOf(widget);
    widget->setFocus(Qt::MouseFocusReason);
    WaitUntil([widget] { return widget->hasFocus(); }, 2000);
}

QPoint CellCenter(GridWidget* grid, int row, int column) {
    if (row == 0) {
        QHeaderView* header = grid->horizontalHeader();
        const QPoint inHeader(header->sectionViewportPosition(column) +
                                  header->sectionSize(column) / 2,
                              header->height() / 2);
        return header->viewport()->mapTo(grid, inHeader);
    }
    const QRect cell = grid->visualRect(grid->model()->index(row - 1, column));
    return grid->viewport()->mapTo(grid, cell.center());
}

void ClickCell(GridWidget* grid, int row, int column) {
    grid->scrollTo(grid->model()->index(row - 1, column));
    Click(grid, CellCenter(grid, row, column));
}

void RightClickCell(GridWidget* grid, int row, int column) {
    grid->scrollTo(grid->model()->index(row - 1, column));
    RightClick(grid, CellCenter(grid, row, column));
}

void ClickHeader(GridWidget* grid, int column) {
    QHeaderView* header = grid->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                    header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
}

void DoubleClickItem(QTreeWidget* list, int index) {
    QTreeWidgetItem* item = list->topLevelItem(index);
    ProcessEvents(); // a list just shown lays its items out first
    list->scrollToItem(item);
    const QRect rect = list->visualItemRect(item);
    DoubleClick(list, list->viewport()->mapTo(list, rect.center()));
}

void ClickMenuItem(QMenu* menu, int index) {
    QAction* action = menu->actions().value(index);
    if (action == nullptr) {
        return;
    }
    const QPoint at = menu->actionGeometry(action).center();
    QTest::mouseMove(menu, at);
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, at);
}

// ---- messages

ScriptedMessages::ScriptedMessages() {
    m_previous = SetMessageHandler([this](const Text& text, MessageButtons buttons) {
        m_shown.push_back({text, buttons});
        if (!m_answers.empty()) {
            const MessageAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    });
}

ScriptedMessages::~ScriptedMessages() {
    SetMessageHandler(std::move(m_previous));
}

std::vector<Text> ScriptedMessages::texts() const {
    std::vector<Text> out;
    for (const ShownMessage& m : m_shown) {
        out.push_back(m.text);
    }
    return out;
}

void ScriptedMessages::Clear() {
    m_answers.clear();
    m_shown.clear();
}

std::string TempPath(const std::string& name) {
    return ::testing::TempDir() + "fundlens_" + std::to_string(::getpid()) + "_" + name;
}

std::string ClosedPortBase() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 9; // discard: normally closed
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    if (fd >= 0) {
        ::close(fd);
    }
    return "http://127.0.0.1:" + std::to_string(port);
}

// ---- fixture

void ProgramFixture::SetUp() {
    InstallSeams();
    ASSERT_TRUE(StartPortal());
    StartMainWindow();
}

void ProgramFixture::TearDown() {
    DropLoaders();
    DestroyWindows();
    ProcessEvents();
    Routines() = EventRoutines{};
    ResetProgramState();
    SetDumpFile("");
    ResetDump();
    ResetProcessEnding();
    SetUrlOpener(std::move(m_previousOpener));
    SetProcessEnder(std::move(m_previousEnder));
    m_portal.reset();
}

void ProgramFixture::InstallSeams() {
    ResetProcessEnding();
    m_previousOpener = SetUrlOpener([this](const Text& url) { openedUrls.push_back(url); });
    m_previousEnder = SetProcessEnder([this](int code) { exitCodes.push_back(code); });
}

bool ProgramFixture::StartPortal(const demo::PortalOptions& options) {
    m_portal = std::make_unique<demo::DemoPortal>(options);
    if (!m_portal->Start()) {
        return false;
    }
    UsePortalBase(m_portal->BaseUrl());
    return true;
}

void ProgramFixture::UsePortalBase(const std::string& base) {
    SetPortalProfile(ProfileAtBase(base));
}

void ProgramFixture::StartMainWindow(bool installRoutines, bool waitForUpdateCheck) {
    Routines() = EventRoutines{};
    if (installRoutines) {
        InstallAllRoutines(Routines());
    }
    ResetProgramState();
    ResetDump();
    CreateMainWindow();
    MainWindowCreated();
    ShowMainWindow();
    QWidget* window = MainWindow().widget();
    ASSERT_TRUE(window != nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    if (waitForUpdateCheck) {
        ASSERT_TRUE(WaitUntil([] { return !UpdateCheckRunning(); }));
    }
}

MainForm* ProgramFixture::mainForm() const {
    return qobject_cast<MainForm*>(MainWindow().widget());
}

} // namespace fundlens::test
