// Start-up: the created event's effects, the update check beside a usable window, the message
// service, and closing windows while loaders are still running.
#include "app/startup.h"
#include "runs/runs.h"
#include "shell/control_dump.h"
#include "shell/forms.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "support/gui_test.h"
#include "update/update_check.h"
#include "web/web_request.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <fstream>
#include <nlohmann/json.hpp>

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

TEST_F(StartupOrderTest, TheUpdateOfferComesOnceTheWindowIsShownAndSetUp) {
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
    // The check runs in the background: the start-up is complete and the window usable before
    // its answer comes.
    EXPECT_EQ(seen[0].firstSectorLoad, 1);
    EXPECT_EQ(seen[0].riskLabel, "标准差"_gbk);
    EXPECT_TRUE(seen[0].mainVisible);
    EXPECT_TRUE(exitCodes.empty());
}

TEST_F(StartupOrderTest, AcceptedUpdateEndsTheProcessAndLeavesADump) {
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
    std::ifstream in(dump);
    ASSERT_TRUE(in.good());
    const auto json = nlohmann::json::parse(in);
    ASSERT_EQ(json["messages"].size(), 1u);
    EXPECT_EQ(json["messages"][0]["text"], "发现新版本，是否更新。");
    EXPECT_EQ(json["messages"][0]["buttons"], "yes/no");
    EXPECT_EQ(json["messages"][0]["icon"], "question");
    EXPECT_EQ(json["messages"][0]["answer"], "yes");
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

class HeldPortalTest : public ProgramFixture {
protected:
    void SetUp() override {
        InstallSeams();
        demo::PortalOptions options;
        options.fault = demo::FaultMode::Hang;
        ASSERT_TRUE(StartPortal(options));
        StartMainWindow(true, false);
    }
};

TEST_F(HeldPortalTest, TheWindowAnswersWhileItsRequestsAreHeld) {
    ASSERT_TRUE(UpdateCheckRunning()) << "the update page never answers";
    QWidget* window = MainWindow().widget();
    PaintCounter counter(window);
    Click(FindControl(MainWindow(), "五星基金钮"));
    ASSERT_TRUE(WaitUntil([&] { return portal()->Requests().size() >= 2; }));
    // The load's probe is held too; clicks are answered and the window repaints all the same.
    EXPECT_FALSE(MainWindow().ButtonNamed("五星基金钮").Enabled());
    counter.paints = 0;
    Click(FindControl(MainWindow(), "搜索框"));
    window->update();
    EXPECT_TRUE(WaitUntil([&] { return counter.paints > 0; }, 2000)) << "a repaint happens";
}

TEST_F(HeldPortalTest, ClosingTheMainWindowStopsEveryLoader) {
    Click(FindControl(MainWindow(), "五星基金钮"));
    ASSERT_TRUE(WaitUntil([&] { return portal()->Requests().size() >= 2; }));
    ASSERT_TRUE(KindOf(RunName::ListLoad).CurrentRun().Current());
    MainWindow().Close();
    // No loader writes into the closed window, and no other window opens any more.
    EXPECT_FALSE(KindOf(RunName::ListLoad).CurrentRun().Current());
    EXPECT_FALSE(OpenSectorWindow().Exists());
    bool chartCreated = false;
    Routines().chartWindowCreated = [&] { chartCreated = true; };
    OpenChartWindowModal();
    EXPECT_FALSE(chartCreated);
}

TEST_F(StartupTest, ClosingTheSectorWindowDuringItsLoadIsSafe) {
    int destroyed = 0;
    const auto installed = Routines().sectorWindowDestroyed;
    Routines().sectorWindowDestroyed = [&] {
        ++destroyed;
        installed();
    };
    Click(FindControl(MainWindow(), "选择板块钮"));
    Window sector = SectorWindow();
    ASSERT_TRUE(sector.Exists());
    Click(FindControl(sector, "按钮93"));
    sector.Close(); // the close box, mid-load
    ASSERT_TRUE(WaitUntil([&] { return !SectorWindow().Exists(); }));
    ASSERT_TRUE(WaitUntil([] { return MainWindow().Title().find("完毕"_gbk) != Text::npos; }));
    EXPECT_EQ(destroyed, 1);
    EXPECT_TRUE(MainWindow().ButtonNamed("选择板块钮").Enabled());
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
