#pragma once
// Every message box of the program passes through here, so that one place decides how it
// is shown and a test can read and answer it.
#include <functional>
#include <string>

namespace velmora {

enum class MsgIcon { None, Information, Critical, Exclamation };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

struct MessageRequest {
    std::string text;  // lines joined by "\r\n", as the program builds them
    std::string title;
    MsgIcon icon = MsgIcon::Information;
    MsgButtons buttons = MsgButtons::Ok;
    bool defaultNo = false;  // "Nu" is a Yes/No box's default button (the answer of Enter)
};

using MessageHandler = std::function<MsgAnswer(const MessageRequest&)>;

inline constexpr const char* kTitle = "ATENTIE!";

// Shows the box (or hands it to the installed handler) and returns the button chosen.
MsgAnswer showMessage(const MessageRequest& request);
// Installs a handler in place of the on-screen box; an empty one restores the box.
// Returns the handler that was installed before.
MessageHandler setMessageHandler(MessageHandler handler);

// The program's ordinary information box titled "ATENTIE!".
void showInfo(const std::string& text);
// A Yes/No confirmation with the exclamation icon; true for "Da". `defaultNo` makes "Nu"
// the default button, for a question whose "Da" throws work away.
bool askYesNo(const std::string& text, bool defaultNo = false);

}  // namespace velmora
