#include "shell/messages.h"

#include "shell/controls.h"
#include "web/web_request.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace fundlens {

namespace {

MessageHandler& CurrentMessageHandler() {
    static MessageHandler handler;
    return handler;
}

UrlOpener& CurrentUrlOpener() {
    static UrlOpener opener;
    return opener;
}

ProcessEnder& CurrentProcessEnder() {
    static ProcessEnder ender;
    return ender;
}

std::function<void()>& BeforeEndHook() {
    static std::function<void()> hook;
    return hook;
}

std::vector<ShownMessageRecord>& Shown() {
    static std::vector<ShownMessageRecord> shown;
    return shown;
}

bool& EndingFlag() {
    static bool ending = false;
    return ending;
}

MessageIcon ResolvedIcon(MessageIcon icon, MessageButtons buttons) {
    if (icon != MessageIcon::Standard)
        return icon;
    return buttons == MessageButtons::YesNo ? MessageIcon::Question : MessageIcon::Information;
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return QMessageBox::NoIcon;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Standard:
    case MessageIcon::Information:
        break;
    }
    return QMessageBox::Information;
}

MessageAnswer RealMessageBox(const Text& text, MessageButtons buttons, MessageIcon icon) {
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(QString::fromUtf8(MessageCaptionUtf8));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    box.setWindowModality(Qt::ApplicationModal);
    box.setIcon(BoxIcon(icon));
    if (buttons == MessageButtons::YesNo) {
        QPushButton* yes = box.addButton(QString::fromUtf8("是"), QMessageBox::YesRole);
        QPushButton* no = box.addButton(QString::fromUtf8("否"), QMessageBox::NoRole);
        box.setDefaultButton(yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    QPushButton* ok = box.addButton(QString::fromUtf8("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    return MessageAnswer::Ok;
}

} // namespace

MessageAnswer ShowMessage(const Text& text, MessageButtons buttons, MessageIcon icon) {
    icon = ResolvedIcon(icon, buttons);
    MessageHandler handler = CurrentMessageHandler();
    const MessageAnswer answer =
        handler ? handler(text, buttons) : RealMessageBox(text, buttons, icon);
    Shown().push_back({text, buttons, answer, icon});
    return answer;
}

const char* MessageIconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None:
        return "none";
    case MessageIcon::Question:
        return "question";
    case MessageIcon::Warning:
        return "warning";
    case MessageIcon::Standard:
    case MessageIcon::Information:
        break;
    }
    return "information";
}

const std::vector<ShownMessageRecord>& MessagesShown() {
    return Shown();
}

void ForgetMessagesShown() {
    Shown().clear();
}

MessageHandler SetMessageHandler(MessageHandler handler) {
    return std::exchange(CurrentMessageHandler(), std::move(handler));
}

void OpenUrl(const Text& url) {
    UrlOpener opener = CurrentUrlOpener();
    if (opener) {
        opener(url);
        return;
    }
    QDesktopServices::openUrl(QUrl(ToQString(url), QUrl::StrictMode));
}

UrlOpener SetUrlOpener(UrlOpener opener) {
    return std::exchange(CurrentUrlOpener(), std::move(opener));
}

void EndProcess(int code) {
    EndingFlag() = true;
    std::function<void()> before = BeforeEndHook();
    if (before) {
        before();
    }
    ProcessEnder ender = CurrentProcessEnder();
    if (ender) {
        ender(code);
        return;
    }
    AbortAllTransfers();
    std::fflush(nullptr);
    std::_Exit(code);
}

ProcessEnder SetProcessEnder(ProcessEnder ender) {
    return std::exchange(CurrentProcessEnder(), std::move(ender));
}

bool ProcessEnding() {
    return EndingFlag();
}

void ResetProcessEnding() {
    EndingFlag() = false;
}

void SetBeforeProcessEnd(std::function<void()> hook) {
    BeforeEndHook() = std::move(hook);
}

} // namespace fundlens
