#include "update/update_check.h"

#include "portal/profile.h"
#include "portal/update_info.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "shell/windows.h"
#include "web/web_request.h"

namespace fundlens {

namespace {

RunKind& UpdateChecks() {
    static RunKind kind;
    return kind;
}

Text FetchUpdatePage(Text url, Text cookie, const Cancellation& cancel) {
    WebCall call;
    call.url = std::move(url);
    call.method = 0;
    call.cookies = std::move(cookie);
    call.cancel = &cancel;
    return WebRequest(call);
}

} // namespace

Loader CheckForUpdate() {
    const RunToken run = UpdateChecks().Start(MainWindow().widget());
    Pending<Text> answer =
        OnPool(run, [url = UpdatePageUrl(), cookie = UpdateCookie()](const Cancellation& cancel) {
            return FetchUpdatePage(url, cookie, cancel);
        });
    const Text page = co_await answer;
    const UpdateInfo info = CutUpdateInfo(page);
    const bool differs = info.version != NumberToText(State().ProgramVersion);
    // Only a web address goes to the desktop: anything else could start a local program.
    if (info.version.empty() || (differs && !IsWebAddress(info.link))) {
        ShowMessage("版本信息监测失败"_gbk, MessageButtons::Ok);
    } else if (differs) {
        const MessageAnswer choice =
            ShowMessage("发现新版本，是否更新。"_gbk, MessageButtons::YesNo);
        // The box ran its own event loop: the program may be ending by now.
        if (choice == MessageAnswer::Yes && run.Current()) {
            OpenUrl(info.link);
            EndProcess(0);
        }
    }
    run.Finish();
}

bool UpdateCheckRunning() {
    return UpdateChecks().Running();
}

} // namespace fundlens
