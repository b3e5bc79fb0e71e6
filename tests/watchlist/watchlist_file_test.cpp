// The watchlist's file as the window meets it: a damaged file named in a message and kept,
// set aside only when the user agrees; a newer build's file shown read-only; no data folder.
#include "shell/grid_widget.h"
#include "shell/watchlist_form.h"
#include "shell/windows.h"
#include "store/watchlist_store.h"
#include "watchlist/watchlist_state.h"
#include "watchlist_fixture.h"

#include <QMenu>
#include <filesystem>
#include <sqlite3.h>

namespace fundlens::test {
namespace {

namespace fs = std::filesystem;
using Col = WatchlistColumn;

const std::string DamagedBytes(4096, 'x');

std::vector<std::string> FilesIn(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(WatchlistTest, ADamagedFileIsNamedAndKeptUntilTheUserAgrees) {
    WriteFileBytes(StorePath(), DamagedBytes);
    messages.Answer(MessageAnswer::No);
    OpenWindow();
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].buttons, MessageButtons::YesNo);
    EXPECT_NE(TextToUtf8(messages.texts()[0]).find(StorePath()), std::string::npos);
    EXPECT_EQ(ReadFileBytes(StorePath()), DamagedBytes);
    EXPECT_EQ(FilesIn(dataDir.Path()), std::vector<std::string>{"watchlist.db"});
    EXPECT_NE(TextToUtf8(Status()).find(StorePath()), std::string::npos) << "the window says so";

    messages.Clear();
    messages.Answer(MessageAnswer::Yes);
    AddFromList(EquityFund()); // asks again; agreed
    ASSERT_EQ(messages.texts().size(), 2u) << "the question, then where the file went";
    const std::vector<std::string> files = FilesIn(dataDir.Path());
    std::string aside;
    for (const std::string& name : files) {
        if (name.starts_with("watchlist.db.damaged-"))
            aside = name;
    }
    ASSERT_FALSE(aside.empty());
    EXPECT_EQ(ReadFileBytes(dataDir / aside), DamagedBytes) << "kept byte for byte";
    EXPECT_NE(TextToUtf8(messages.texts()[1]).find(aside), std::string::npos);
    EXPECT_EQ(Cell(1, Col::Code), EquityFund().code);
    WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
    EXPECT_EQ(store.Funds().rows.size(), 1u);
}

TEST_F(WatchlistTest, ANewerBuildsFileIsShownReadOnly) {
    {
        WatchlistStore store = WatchlistStore::Open(dataDir.Path(), OpenMode::ExistingOnly);
        ASSERT_TRUE(store.AddFund(EquityFund().code, "新版本的基金"_gbk));
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(StorePath().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "PRAGMA user_version = 99", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
    const std::string bytes = ReadFileBytes(StorePath());

    OpenWindow();
    ASSERT_EQ(messages.texts().size(), 1u);
    EXPECT_NE(TextToUtf8(messages.texts()[0]).find("更新"), std::string::npos);
    EXPECT_EQ(Cell(1, Col::Name), "新版本的基金"_gbk);
    EXPECT_NE(TextToUtf8(Status()).find("只读"), std::string::npos);

    messages.Clear();
    NextDialog([](TransactionDialog& dialog) {
        Type(dialog, EntrySharesName, "100");
        Type(dialog, EntryNavName, "1");
        ClickOk(dialog);
    });
    ChooseFromMenu(1, 0);
    ASSERT_EQ(messages.texts().size(), 1u) << "the change is refused with a message";
    EXPECT_EQ(ReadFileBytes(StorePath()), bytes);
}

TEST_F(WatchlistTest, WithoutADataFolderAddingSaysSo) {
    SetWatchlistDataDir("");
    ShowListRow(1, {Utf8ToText(EquityFund().name), EquityFund().code});
    auto* list = FindControl<GridWidget>(MainWindow(), "高级表格1");
    ClickCell(list, 1, 0);
    RightClickCell(list, 1, 0);
    ClickMenuItem(FindControl<QMenu>(MainWindow(), "菜单"), 1);
    ProcessEvents();
    ASSERT_FALSE(messages.texts().empty());
    EXPECT_NE(TextToUtf8(messages.texts()[0]).find("--data-dir"), std::string::npos);
    EXPECT_TRUE(FilesIn(dataDir.Path()).empty());
    EXPECT_FALSE(WatchlistWindow().Exists());
}

} // namespace
} // namespace fundlens::test
