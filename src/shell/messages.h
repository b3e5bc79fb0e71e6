// The program's outside effects, each behind a seam a test can replace: message boxes, opening
// a web address, ending the process.
#pragma once

#include "text/text.h"

#include <functional>
#include <vector>

namespace fundlens {

enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };
// Standard: information for an OK box, a question for a Yes/No box.
enum class MessageIcon { Standard, None, Information, Question, Warning };

// Caption of every message box.
inline constexpr const char* MessageCaptionUtf8 = "信息：";

// Shows `text` in an application-modal message box captioned "信息：" and returns the button
// chosen (closing a Yes/No box without choosing counts as No).
MessageAnswer ShowMessage(const Text& text, MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::Standard);

// Every message box shown in the run, in order, with its icon (never Standard: the icon it
// showed) and the answer given.
struct ShownMessageRecord {
    Text text;
    MessageButtons buttons;
    MessageAnswer answer;
    MessageIcon icon = MessageIcon::Information;
};

// "none", "information", "question", "warning".
const char* MessageIconName(MessageIcon icon);
const std::vector<ShownMessageRecord>& MessagesShown();
void ForgetMessagesShown();

using MessageHandler = std::function<MessageAnswer(const Text& text, MessageButtons buttons)>;
// Replaces the message box; an empty handler restores the real one. Returns the previous.
MessageHandler SetMessageHandler(MessageHandler handler);

// Opens a web address with the desktop's default handler.
void OpenUrl(const Text& url);
using UrlOpener = std::function<void(const Text& url)>;
UrlOpener SetUrlOpener(UrlOpener opener);

// Ends the process at once with `code`: the control dump is written first, transfers are
// aborted. In the program it does not return. A test may replace the ending; it then returns,
// and ProcessEnding() tells the caller to stop what it was doing.
void EndProcess(int code);
using ProcessEnder = std::function<void(int code)>;
ProcessEnder SetProcessEnder(ProcessEnder ender);
bool ProcessEnding();
void ResetProcessEnding();

// Runs before the process ends through EndProcess (the control dump registers itself here).
void SetBeforeProcessEnd(std::function<void()> hook);

} // namespace fundlens
