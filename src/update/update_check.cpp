#include "update/update_check.h"

#include "portal/profile.h"
#include "portal/update_info.h"
#include "shell/messages.h"
#include "shell/program_state.h"
#include "web/web_request.h"

namespace fundlens {

void CheckForUpdate() {
    WebCall call;
    call.url = UpdatePageUrl();
    call.method = 0;
    call.cookies = UpdateCookie();
    const Text page = WebRequest(call);

    const UpdateInfo info = CutUpdateInfo(page);
    if (info.version.empty()) {
        ShowMessage("版本信息监测失败"_gbk, MessageButtons::Ok);
        return;
    }
    if (info.version == NumberToText(State().ProgramVersion)) {
        return;
    }
    // Only a web address goes to the desktop: anything else could start a local program.
    if (!IsWebAddress(info.link)) {
        ShowMessage("版本信息监测失败"_gbk, MessageButtons::Ok);
        return;
    }
    if (ShowMessage("发现新版本，是否更新。"_gbk, MessageButtons::YesNo) == MessageAnswer::Yes) {
        OpenUrl(info.link);
        EndProcess(0);
    }
}

} // namespace fundlens
