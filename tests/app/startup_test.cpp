// Start-up: the created event's effects and order, the pump hook, the message service, and
// closing windows while a routine is still running.
#include "app/startup.h"
#include "shell/control_dump.h"
#include "shell/forms.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "web/web_request.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace fundlens::test {
namespace {

using StartupTest = ProgramFixture;

TEST_F(StartupTest, CreatedEventSetsStateAndWritesTheRiskGridLabels) {
    const ProgramState& s = State();
    EXPECT_EQ(s.ProgramVersion, 4);
    EXPECT_EQ(s.SortAscendingNext, 0);
    EXPECT_EQ(s.FirstSectorLoad, 1);
    EXPECT_EQ(s.ListIsFiveStar, 0);
    EXPECT_EQ(s.CurrentSectorCode, 0);
    EXPECT_EQ(s.CurrentFundCode, "");
    EXPECT_EQ(s.CompareFundCode, "");
    EXPECT_TRUE(s.ChartState.ReadoutTable.empty());
    EXPECT_FALSE(s.ChartState.savedImage.has_value());
    for (const char* name : {"高级表格3", "高级表格4"}) {
        SCOPED_TRACE(name);
        Grid risk = MainWindow().GridNamed(name);
        EXPECT_EQ(risk.CellText(1, 0), "标准差"_gbk);
        EXPECT_EQ(risk.CellText(2, 0), "夏普比率"_gbk);
        EXPECT_EQ(risk.CellText(1, 1), "");
    }
    // The version announced by the portal is ours: nothing is said.
    EXPECT_TRUE(messages.shown().empty());
    // No list is loaded at start.
    EXPECT_EQ(MainWindow().Title(), "");
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(1, 0), "");
    EXPECT_TRUE(MainWindow().Visible());
}

class StartupOrderTest : public ProgramFixture {
protected:
    void SetUp() override { InstallSeams(); }
};

TEST_F(StartupOrderTest, UpdateCheckRunsAfterTheVersionAndBeforeTheLaterSteps) {
    demo::PortalOptions options;
    options.announceVersion = 5;
    ASSERT_TRUE(StartPortal(options));
    struct Seen {
        int version, firstSectorLoad;
        Text riskLabel;
        bool mainVisible;
    };
    std::vector<Seen> seen;
    MessageHandler scripted = SetMessageHandler({});
    SetMessageHandler([&](const Text& text, MessageButtons buttons) {
        seen.push_back({State().ProgramVersion, State().FirstSectorLoad,
                        MainWindow().GridNamed("高级表格3").CellText(1, 0),
                        MainWindow().Visible()});
        return scripted(text, buttons);
    });
    messages.Answer(MessageAnswer::No);
    StartMainWindow();
    SetMessageHandler(scripted);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].version, 4);
    EXPECT_EQ(seen[0].firstSectorLoad, 0);
    EXPECT_EQ(seen[0].riskLabel, "");
    EXPECT_FALSE(seen[0].mainVisible); // the window is not usable before the check ends
    // Declined: the start completes.
    EXPECT_EQ(State().FirstSectorLoad, 1);
    EXPECT_EQ(MainWindow().GridNamed("高级表格3").CellText(1, 0), "标准差"_gbk);
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(StartupOrderTest, AcceptedUpdateEndsTheProcessBeforeTheLaterStepsAndLeavesADump) {
    demo::PortalOptions options;
    options.announceVersion = 5;
    ASSERT_TRUE(StartPortal(options));
    const std::string dump = TempPath("startup_dump.json");
    std::remove(dump.c_str());
    SetDumpFile(dump);
    messages.Answer(MessageAnswer::Yes);
    StartMainWindow();
    EXPECT_EQ(exitCodes, std::vector<int>{0});
    EXPECT_EQ(openedUrls, std::vector<Text>{portal()->BaseUrl() + "/download.html"});
    EXPECT_EQ(State().FirstSectorLoad, 0);
    EXPECT_EQ(MainWindow().GridNamed("高级表格3").CellText(1, 0), "");
    EXPECT_FALSE(MainWindow().Visible());
    std::FILE* file = std::fopen(dump.c_str(), "rb");
    EXPECT_NE(file, nullptr);
    if (file) {
        std::fclose(file);
    }
}

TEST_F(StartupTest, RequestsLetTheGuiProcessPendingEvents) {
    bool ran = false;
    QTimer::singleShot(0, MainWindow().widget(), [&] { ran = true; });
    const Text page = WebRequest(Text(portal()->BaseUrl() + "/download.html"));
    EXPECT_FALSE(page.empty());
    EXPECT_TRUE(ran); // ran inside the request, not after it
}

TEST_F(StartupTest, ClosingTheMainWindowWhileARoutineRunsIsSafe) {
    // A routine that writes, waits for an answer (pumping events), and writes again after the
    // user closed the window in between.
    bool finished = false;
    Routines().fiveStarClicked = [&] {
        Grid list = MainWindow().GridNamed("高级表格1");
        QWidget* window = MainWindow().widget();
        QTimer::singleShot(0, window, [window] { window->close(); });
        for (int page = 1; page <= 3; ++page) {
            WebRequest(Text(portal()->BaseUrl() + "/download.html"));
            list.SetCellText(page, 0, "x");
            MainWindow().SetTitle("五星基金正在加载第" + std::to_string(page * 20) + "条");
        }
        // The run is ending: no window opens any more.
        EXPECT_FALSE(OpenSectorWindow().Exists());
        OpenChartWindowModal();
        finished = true;
    };
    bool chartCreated = false;
    Routines().chartWindowCreated = [&] { chartCreated = true; };
    Click(FindControl(MainWindow(), "五星基金钮"));
    EXPECT_TRUE(finished);
    EXPECT_FALSE(chartCreated);
    EXPECT_FALSE(MainWindow().Visible());
    ProcessEvents();
    ASSERT_TRUE(MainWindow().Exists()); // destroyed at the end of the run only
    EXPECT_EQ(MainWindow().GridNamed("高级表格1").CellText(3, 0), "x");
}

TEST_F(StartupTest, ClosingTheSectorWindowWhileItsButtonRoutineRunsIsSafe) {
    int destroyed = 0;
    Routines().sectorWindowDestroyed = [&] { ++destroyed; };
    Routines().sectorButtonClicked = [&](int n) {
        Window sector = SectorWindow();
        Button button = sector.ButtonNamed("按钮" + std::to_string(n));
        sector.SetVisible(false);
        QTimer::singleShot(0, MainWindow().widget(),
                           [] { SectorWindow().Close(); }); // the close box, mid-load
        WebRequest(Text(portal()->BaseUrl() + "/download.html"));
        ProcessEvents();
        button.SetCaption("after");
        sector.PostClose();
    };
    Window sector = OpenSectorWindow();
    Click(FindControl(sector, "按钮7"));
    ASSERT_TRUE(WaitUntil([&] { return !SectorWindow().Exists(); }));
    EXPECT_EQ(destroyed, 1);
}

TEST_F(StartupTest, RealMessageBoxIsCaptionedAndApplicationModal) {
    MessageHandler scripted = SetMessageHandler({});
    struct Seen {
        QString title, text;
        Qt::WindowModality modality = Qt::NonModal;
        QStringList buttons;
    } seen;
    auto answer = [&](const QString& buttonText) {
        QTimer* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, poll, [&, poll, buttonText] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (box == nullptr) {
                return;
            }
            seen.title = box->windowTitle();
            seen.text = box->text();
            seen.modality = box->windowModality();
            seen.buttons.clear();
            for (QAbstractButton* b : box->buttons()) {
                seen.buttons << b->text();
            }
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == buttonText) {
                    b->click();
                }
            }
            poll->deleteLater();
        });
        poll->start(10);
    };

    answer(QString::fromUtf8("是"));
    EXPECT_EQ(ShowMessage("发现新版本，是否更新。"_gbk, MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(seen.title, QString::fromUtf8("信息："));
    EXPECT_EQ(seen.text, QString::fromUtf8("发现新版本，是否更新。"));
    EXPECT_EQ(seen.modality, Qt::ApplicationModal);
    EXPECT_EQ(seen.buttons.size(), 2);

    answer(QString::fromUtf8("否"));
    EXPECT_EQ(ShowMessage("发现新版本，是否更新。"_gbk, MessageButtons::YesNo), MessageAnswer::No);

    answer(QString::fromUtf8("确定"));
    EXPECT_EQ(ShowMessage("<b>版本信息监测失败</b>"_gbk), MessageAnswer::Ok);
    EXPECT_EQ(seen.text, QString::fromUtf8("<b>版本信息监测失败</b>"));
    EXPECT_EQ(seen.buttons, QStringList{QString::fromUtf8("确定")});
    SetMessageHandler(scripted);
}

TEST_F(StartupTest, ScriptedMessagesAnswerInOrderAndRecordEverything) {
    messages.Clear();
    messages.Answer(MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage("a", MessageButtons::YesNo), MessageAnswer::Yes);
    EXPECT_EQ(ShowMessage("b", MessageButtons::YesNo), MessageAnswer::No); // queue empty
    EXPECT_EQ(ShowMessage("c"), MessageAnswer::Ok);
    EXPECT_EQ(messages.texts(), (std::vector<Text>{"a", "b", "c"}));
}

} // namespace
} // namespace fundlens::test
