#include "player_place.h"

#include "tonquil_extension.h"

namespace {

PlayerPlace Answers;
std::vector<SentMessage> Sent;
WNDPROC PlayerProc;

// A seek within the track moves it, as the player's would; the rest is
// refused.
LRESULT SetPosition(WPARAM value) {
    if ((LONG)value < 0 || (LONG)value >= Answers.length)
        return 0;
    Answers.position = (LONG)value;
    return 1;
}

LRESULT CALLBACK Answer(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case CM_GETLENGTH:
        return Answers.length;
    case CM_GETPOSITION:
        return Answers.position;
    case CM_GETRESUME:
        return Answers.resume;
    case CM_GETREPLAYGAIN:
        return Answers.gain;
    case CM_SETPOSITION:
        Sent.push_back({message, wParam});
        return SetPosition(wParam);
    case CM_SETRESUME:
        Sent.push_back({message, wParam});
        Answers.resume = (LONG)wParam;
        return 1;
    case CM_SETREPLAYGAIN:
        Sent.push_back({message, wParam});
        Answers.gain = (LONG)wParam;
        return 1;
    }
    return CallWindowProcW(PlayerProc, window, message, wParam, lParam);
}

} // namespace

void AnswerPlace(HWND player) {
    Answers = PlayerPlace();
    Sent.clear();
    PlayerProc = (WNDPROC)SetWindowLongPtrW(player, GWLP_WNDPROC, (LONG_PTR)Answer);
}

void StopAnswering(HWND player) {
    if (player && IsWindow(player) && PlayerProc)
        SetWindowLongPtrW(player, GWLP_WNDPROC, (LONG_PTR)PlayerProc);
    PlayerProc = NULL;
}

PlayerPlace &Place() {
    return Answers;
}

std::vector<SentMessage> TakeSent() {
    std::vector<SentMessage> sent;
    sent.swap(Sent);
    return sent;
}
