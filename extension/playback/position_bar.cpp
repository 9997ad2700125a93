#include "extension/playback/position_bar.h"

#include "extension/common/player_link.h"
#include "extension/common/texts.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

// A click in the slider's channel moves this far.
#define SEEK_PAGE_MS 30000

struct PLACE {
    LONG Position;
    LONG Length; // 0: nothing open, or a length the player does not know
};

static PLACE ReadPlace() {
    PLACE place;
    place.Length = (LONG)SendToPlayer(CM_GETLENGTH, 0, 0);
    place.Position = (LONG)SendToPlayer(CM_GETPOSITION, 0, 0);
    if (place.Length < 0)
        place.Length = 0;
    if (place.Position < 0)
        place.Position = 0;
    return place;
}

static void ShowTime(LONG position, LONG length) {
    WCHAR elapsed[CLOCK_SIZE], total[CLOCK_SIZE], text[2 * CLOCK_SIZE + 4];
    FormatClock(position, elapsed);
    if (length > 0) {
        FormatClock(length, total);
        wsprintfW(text, L"%s / %s", elapsed, total);
    } else {
        lstrcpyW(text, elapsed);
    }
    WCHAR shown[2 * CLOCK_SIZE + 4];
    GetWindowTextW(Ui.Time, shown, 2 * CLOCK_SIZE + 4);
    if (lstrcmpW(shown, text) != 0)
        SetWindowTextW(Ui.Time, text);
}

static int UserHoldsThumb() {
    return GetCapture() == Ui.Seek;
}

void RefreshPosition() {
    if (!Ui.Seek)
        return;
    PLACE place = ReadPlace();
    if (UserHoldsThumb())
        return;
    if (SendMessageW(Ui.Seek, TBM_GETRANGEMAX, 0, 0) != place.Length)
        SendMessageW(Ui.Seek, TBM_SETRANGEMAX, TRUE, place.Length);
    if (SendMessageW(Ui.Seek, TBM_GETPOS, 0, 0) != place.Position)
        SendMessageW(Ui.Seek, TBM_SETPOS, TRUE, place.Position);
    ShowTime(place.Position, place.Length);
}

static void SeekTo(LONG target, LONG length) {
    if (target < 0)
        target = 0;
    if (length <= 0 || target < length)
        SendToPlayer(CM_SETPOSITION, (WPARAM)target, 0);
    RefreshPosition();
}

void SeekBy(LONG delta) {
    PLACE place = ReadPlace();
    // Nothing open: the player would refuse it.
    if (place.Length == 0 && place.Position == 0)
        return;
    SeekTo(place.Position + delta, place.Length);
}

static LONG SliderPosition() {
    return (LONG)SendMessageW(Ui.Seek, TBM_GETPOS, 0, 0);
}

void OnSeekScroll(WORD code) {
    switch (code) {
    case TB_LINEUP:
        SeekBy(-SEEK_STEP_MS);
        break;
    case TB_LINEDOWN:
        SeekBy(SEEK_STEP_MS);
        break;
    case TB_PAGEUP:
    case TB_PAGEDOWN:
    case TB_THUMBPOSITION:
        SeekTo(SliderPosition(), ReadPlace().Length);
        break;
    case TB_TOP:
        SeekTo(0, ReadPlace().Length);
        break;
    case TB_THUMBTRACK:
        // The time follows the thumb; the seek waits for its release.
        ShowTime(SliderPosition(), (LONG)SendMessageW(Ui.Seek, TBM_GETRANGEMAX, 0, 0));
        break;
    default:
        // TB_BOTTOM (the end) and TB_ENDTRACK: back to where the track is.
        RefreshPosition();
        break;
    }
}

void PrepareSeekRow() {
    SendMessageW(Ui.Seek, TBM_SETLINESIZE, 0, SEEK_STEP_MS);
    SendMessageW(Ui.Seek, TBM_SETPAGESIZE, 0, SEEK_PAGE_MS);
    // It stays enabled with nothing open, so that it keeps the focus when a
    // track stops; its range is then empty and its keys do nothing.
    SendMessageW(Ui.Seek, TBM_SETRANGEMAX, FALSE, 0);
    ShowTime(0, 0);
}
