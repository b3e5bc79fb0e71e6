// Support for the GUI tests: waiting with a deadline, finding controls by window and name,
// driving them with real mouse and keyboard events, pre-answered messages, and a fixture that
// runs the program's start against an in-process demo portal.
#pragma once

#include "demo-portal/demo_portal.h"
#include "shell/controls.h"
#include "shell/messages.h"
#include "text/text.h"

#include <QPoint>
#include <QString>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QMenu;
class QTreeWidget;

namespace fundlens {
class GridWidget;
class MainForm;
} // namespace fundlens

namespace fundlens::test {

// Processes GUI events while polling `predicate` until it holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& predicate, int timeoutMs = 10000);

// Processes the events that are pending now (and posted deferred deletions).
void ProcessEvents();

// A control of an open window by its designed name; null when there is none.
QWidget* FindControl(const Window& window, std::string_view name);
template <class W>
W* FindControl(const Window& window, std::string_view name) {
    return qobject_cast<W*>(FindControl(window, name));
}

// Real input events.
void Click(QWidget* widget, QPoint at = QPoint(-1, -1));
void RightClick(QWidget* widget, QPoint at = QPoint(-1, -1));
void DoubleClick(QWidget* widget, QPoint at = QPoint(-1, -1));
void MoveMouse(QWidget* widget, QPoint at);
// Types character by character: ASCII as key clicks, other characters as an input method
// commits them.
void TypeText(QWidget* widget, const QString& text);
// Gives the widget the keyboard focus as a click would.
void Focus(QWidget* widget);

// Grid cells in the program's addressing (row 0 is the header row).
QPoint CellCenter(GridWidget* grid, int row, int column); // in the grid's coordinates
void ClickCell(GridWidget* grid, int row, int column);
void RightClickCell(GridWidget* grid, int row, int column);
void ClickHeader(GridWidget* grid, int column);
void DoubleClickItem(QTreeWidget* list, int index);
// Clicks item `index` of a popup menu that is shown.
void ClickMenuItem(QMenu* menu, int index);

// Puts a row into the fund list as a list load shows one: into the view state, then onto the
// grid (rows before it that hold nothing stay empty). `cells` are the texts from column 0 on;
// `colors` the colours of the same columns (none: untouched).
void ShowListRow(int row, const std::vector<Text>& cells,
                 const std::vector<std::optional<Rgb>>& colors = {});

// The fund list's row count (the header included) as a load sets it.
void ShowListRowCount(int rows);

// Pins `code` in the comparison grid's first row as 加入对比 would (the view, then the grid).
void ShowPinnedCode(const Text& code);

// A message shown through ShowMessage.
struct ShownMessage {
    Text text;
    MessageButtons buttons;
};

// Replaces the message boxes while it lives: answers come from a queue (when it is empty, OK
// boxes answer OK and Yes/No boxes No), and every message is recorded.
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    ScriptedMessages(const ScriptedMessages&) = delete;
    ScriptedMessages& operator=(const ScriptedMessages&) = delete;

    void Answer(MessageAnswer answer) { m_answers.push_back(answer); }
    const std::vector<ShownMessage>& shown() const { return m_shown; }
    std::vector<Text> texts() const;
    void Clear();

private:
    std::deque<MessageAnswer> m_answers;
    std::vector<ShownMessage> m_shown;
    MessageHandler m_previous;
};

// A file name in the temporary directory that no other test process uses.
std::string TempPath(const std::string& name);

// A base URL where nothing listens (connections are refused).
std::string ClosedPortBase();

// Starts the program as the executable does, in-process: the demo portal on a free port, the
// portal hosts and the update page pointed at it, messages pre-answered, the opening of URLs
// and the ending of the process recorded, the main window created, its created event run, and
// the window shown. Each step is a method, so a test can run them one by one.
class ProgramFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The steps of SetUp.
    void InstallSeams();
    bool StartPortal(const demo::PortalOptions& options = {});
    void UsePortalBase(const std::string& base); // every host and the update page at `base`
    // Waits for the update check to end unless told not to.
    void StartMainWindow(bool installRoutines = true, bool waitForUpdateCheck = true);

    demo::DemoPortal* portal() { return m_portal.get(); }
    MainForm* mainForm() const;

    ScriptedMessages messages;
    std::vector<Text> openedUrls;
    std::vector<int> exitCodes;

private:
    std::unique_ptr<demo::DemoPortal> m_portal;
    UrlOpener m_previousOpener;
    ProcessEnder m_previousEnder;
};

} // namespace fundlens::test
