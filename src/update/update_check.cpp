#include "update/update_check.h"

#include "shell/messages.h"
#include "shell/profile.h"
#include "shell/program_state.h"
#include "web/web_request.h"

#include <QUrl>

namespace fundlens {

namespace {

const Text& StartMarker() {
    static const Text marker =
        "<input type=\"text\" name=\"realname\" id=\"realname\" class=\"px\" value=\"版本"_gbk;
    return marker;
}

const Text& EndMarker() {
    static const Text marker =
        "\" tabindex=\"1\" /><div class=\"rq mtn\" id=\"showerror_realname\">"_gbk;
    return marker;
}

const Text& Separator() {
    static const Text separator = "链接"_gbk;
    return separator;
}

} // namespace

UpdateInfo CutUpdateInfo(const Text& page) {
    const Text value = TextBetween(page, StartMarker(), EndMarker());
    return UpdateInfo{TextBeforeFirst(value, Separator()), TextAfterLast(value, Separator())};
}

bool IsDownloadLink(const Text& link) {
    if (!IsWebAddress(link)) {
        return false;
    }
    const QUrl url(QString::fromStdString(TextToUtf8(link)), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() &&
           (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

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
    if (!IsDownloadLink(info.link)) {
        ShowMessage("版本信息监测失败"_gbk, MessageButtons::Ok);
        return;
    }
    if (ShowMessage("发现新版本，是否更新。"_gbk, MessageButtons::YesNo) == MessageAnswer::Yes) {
        OpenUrl(info.link);
        EndProcess(0);
    }
}

} // namespace fundlens
