#include "extension/window/layout.h"

#include "tonquil_extension.h"

#include "extension/common/dpi.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

#define MARGIN 8
#define GAP 6
#define GROUP_GAP 18
#define ROW_HEIGHT 26
#define BUTTON_PADDING 24
#define BUTTON_MIN_WIDTH 72
#define CHECK_BOX_WIDTH 24
#define COMBO_ARROW_WIDTH 40
#define VOLUME_WIDTH 120
#define MIN_WIDTH 360
#define MIN_HEIGHT 260

typedef BOOL(WINAPI *SYSTEMPARAMETERSINFOFORDPI)(UINT, UINT, PVOID, UINT, UINT);
typedef int(WINAPI *GETSYSTEMMETRICSFORDPI)(int, UINT);

static void MessageFont(UINT dpi, LOGFONTW *font) {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SYSTEMPARAMETERSINFOFORDPI forDpi = (SYSTEMPARAMETERSINFOFORDPI)(void *)SystemFunction(
        L"user32.dll", "SystemParametersInfoForDpi");
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
        *font = metrics.lfMessageFont;
        return;
    }
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        *font = metrics.lfMessageFont;
        font->lfHeight = MulDiv(font->lfHeight, (int)dpi, (int)SystemDpi());
        return;
    }
    LOGFONTW fallback = {};
    fallback.lfHeight = -MulDiv(9, (int)dpi, 72);
    fallback.lfCharSet = DEFAULT_CHARSET;
    *font = fallback;
}

static int IconSize(int metric, UINT dpi) {
    GETSYSTEMMETRICSFORDPI forDpi =
        (GETSYSTEMMETRICSFORDPI)(void *)SystemFunction(L"user32.dll", "GetSystemMetricsForDpi");
    return forDpi ? forDpi(metric, dpi) : GetSystemMetrics(metric);
}

static HICON LoadPlayerIcon(int metric) {
    int size = IconSize(metric, Ui.Dpi);
    // The player's own icon: this module runs inside the player's process.
    return (HICON)LoadImageW(GetModuleHandleW(NULL), TQ_PLAYER_ICON, IMAGE_ICON, size, size,
                             LR_DEFAULTCOLOR);
}

static BOOL CALLBACK SetChildFont(HWND child, LPARAM font) {
    SendMessageW(child, WM_SETFONT, (WPARAM)font, FALSE);
    return TRUE;
}

void FreeDpiResources() {
    if (Ui.Font)
        DeleteObject(Ui.Font);
    if (Ui.BoldFont)
        DeleteObject(Ui.BoldFont);
    if (Ui.BigIcon)
        DestroyIcon(Ui.BigIcon);
    if (Ui.SmallIcon)
        DestroyIcon(Ui.SmallIcon);
    Ui.Font = Ui.BoldFont = NULL;
    Ui.BigIcon = Ui.SmallIcon = NULL;
}

void ApplyDpiResources() {
    HFONT oldFont = Ui.Font, oldBold = Ui.BoldFont;
    HICON oldBig = Ui.BigIcon, oldSmall = Ui.SmallIcon;
    LOGFONTW font;
    MessageFont(Ui.Dpi, &font);
    Ui.Font = CreateFontIndirectW(&font);
    font.lfWeight = FW_BOLD;
    Ui.BoldFont = CreateFontIndirectW(&font);
    Ui.BigIcon = LoadPlayerIcon(SM_CXICON);
    Ui.SmallIcon = LoadPlayerIcon(SM_CXSMICON);
    EnumChildWindows(Ui.Window, SetChildFont, (LPARAM)Ui.Font);
    SendMessageW(Ui.Window, WM_SETICON, ICON_BIG, (LPARAM)Ui.BigIcon);
    SendMessageW(Ui.Window, WM_SETICON, ICON_SMALL, (LPARAM)Ui.SmallIcon);
    if (oldFont)
        DeleteObject(oldFont);
    if (oldBold)
        DeleteObject(oldBold);
    if (oldBig)
        DestroyIcon(oldBig);
    if (oldSmall)
        DestroyIcon(oldSmall);
}

enum FIT { FIT_BUTTON, FIT_LABEL, FIT_CHECK, FIT_COMBO, FIT_FIXED };

struct FLOW_ITEM {
    int Id;
    FIT Fit;
    int Width;        // FIT_FIXED only
    int GapBefore;    // 0: the usual gap
    int KeepWithNext; // a label stays on the line of its control
};

static const FLOW_ITEM TopItems[] = {
    {IDC_PREV, FIT_BUTTON, 0, 0, 0},
    {IDC_PLAY, FIT_BUTTON, 0, 0, 0},
    {IDC_PAUSE, FIT_BUTTON, 0, 0, 0},
    {IDC_STOP, FIT_BUTTON, 0, 0, 0},
    {IDC_NEXT, FIT_BUTTON, 0, 0, 0},
    {IDC_VOLUME_LABEL, FIT_LABEL, 0, GROUP_GAP, 1},
    {IDC_VOLUME, FIT_FIXED, VOLUME_WIDTH, 0, 0},
    {IDC_MUTE, FIT_CHECK, 0, 0, 0},
};

static const FLOW_ITEM BottomItems[] = {
    {IDC_ADD, FIT_BUTTON, 0, 0, 0},
    {IDC_REMOVE, FIT_BUTTON, 0, 0, 0},
    {IDC_SAVE, FIT_BUTTON, 0, 0, 0},
    {IDC_MODE_LABEL, FIT_LABEL, 0, GROUP_GAP, 1},
    {IDC_MODE, FIT_COMBO, 0, 0, 0},
    {IDC_RESUME, FIT_CHECK, 0, GROUP_GAP, 0},
    {IDC_GAIN_LABEL, FIT_LABEL, 0, GROUP_GAP, 1},
    {IDC_GAIN, FIT_COMBO, 0, 0, 0},
};

// The widest time the seek row shows.
#define WIDEST_TIME L"00:00:00 / 00:00:00"

#define COUNT_OF(array) ((int)(sizeof(array) / sizeof((array)[0])))

static int TextWidth(HDC dc, const WCHAR *text) {
    RECT box = {0, 0, 0, 0};
    DrawTextW(dc, text, -1, &box, DT_CALCRECT | DT_SINGLELINE);
    return box.right - box.left;
}

static int WindowTextWidth(HDC dc, HWND control) {
    WCHAR text[256];
    GetWindowTextW(control, text, 256);
    return TextWidth(dc, text);
}

static int WidestComboItem(HDC dc, HWND combo) {
    int widest = 0;
    int count = (int)SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (int i = 0; i < count; ++i) {
        WCHAR text[256];
        if (SendMessageW(combo, CB_GETLBTEXTLEN, i, 0) >= 256)
            continue;
        SendMessageW(combo, CB_GETLBTEXT, i, (LPARAM)text);
        int width = TextWidth(dc, text);
        if (width > widest)
            widest = width;
    }
    return widest;
}

static int ItemWidth(HDC dc, const FLOW_ITEM *item) {
    HWND control = GetDlgItem(Ui.Window, item->Id);
    switch (item->Fit) {
    case FIT_BUTTON: {
        int width = WindowTextWidth(dc, control) + Scale(BUTTON_PADDING);
        return width > Scale(BUTTON_MIN_WIDTH) ? width : Scale(BUTTON_MIN_WIDTH);
    }
    case FIT_LABEL:
        return WindowTextWidth(dc, control);
    case FIT_CHECK:
        return WindowTextWidth(dc, control) + Scale(CHECK_BOX_WIDTH);
    case FIT_COMBO:
        return WidestComboItem(dc, control) + Scale(COMBO_ARROW_WIDTH);
    case FIT_FIXED:
        return Scale(item->Width);
    }
    return 0;
}

static void PlaceItem(HWND control, FIT fit, int x, int y, int width, int rowHeight) {
    if (fit == FIT_COMBO) {
        // A drop-down list is as high as its font makes it; the height
        // given is that of the open list. Centre the closed box in the row.
        SetWindowPos(control, NULL, x, y, width, Scale(200), SWP_NOZORDER | SWP_NOACTIVATE);
        RECT box;
        GetWindowRect(control, &box);
        int offset = (rowHeight - (box.bottom - box.top)) / 2;
        if (offset > 0)
            SetWindowPos(control, NULL, x, y + offset, 0, 0,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
        return;
    }
    SetWindowPos(control, NULL, x, y, width, rowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Lays the items out left to right from top, wrapping at right; moves them
// only when place is set. Gives the bottom of the last line.
static int FlowItems(HDC dc, const FLOW_ITEM *items, int count, int top, int right, int rowHeight,
                     int place) {
    int x = Scale(MARGIN), y = top;
    for (int i = 0; i < count; ++i) {
        int gap = x > Scale(MARGIN) ? Scale(items[i].GapBefore ? items[i].GapBefore : GAP) : 0;
        int width = ItemWidth(dc, &items[i]);
        int together = width;
        for (int j = i; j + 1 < count && items[j].KeepWithNext; ++j)
            together += Scale(GAP) + ItemWidth(dc, &items[j + 1]);
        if (x > Scale(MARGIN) && x + gap + together > right) {
            x = Scale(MARGIN);
            y += rowHeight + Scale(GAP);
            gap = 0;
        }
        x += gap;
        if (place)
            PlaceItem(GetDlgItem(Ui.Window, items[i].Id), items[i].Fit, x, y, width, rowHeight);
        x += width;
    }
    return y + rowHeight;
}

// Label, slider and time on a line of their own; the slider takes the room
// left between the other two. Gives the bottom of the line.
static int PlaceSeekRow(HDC dc, int top, int right, int rowHeight) {
    HWND label = GetDlgItem(Ui.Window, IDC_SEEK_LABEL);
    int labelWidth = WindowTextWidth(dc, label);
    int timeWidth = TextWidth(dc, WIDEST_TIME);
    int left = Scale(MARGIN);
    int sliderLeft = left + labelWidth + Scale(GAP);
    int timeLeft = right - timeWidth;
    int sliderWidth = timeLeft - Scale(GAP) - sliderLeft;
    SetWindowPos(label, NULL, left, top, labelWidth, rowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Ui.Seek, NULL, sliderLeft, top, sliderWidth > 0 ? sliderWidth : 0, rowHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(Ui.Time, NULL, timeLeft, top, timeWidth, rowHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return top + rowHeight;
}

static int RowHeight(HDC dc) {
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    int height = metrics.tmHeight + Scale(10);
    return height > Scale(ROW_HEIGHT) ? height : Scale(ROW_HEIGHT);
}

void LayoutControls() {
    if (!Ui.Window || !Ui.Status)
        return;
    RECT client;
    GetClientRect(Ui.Window, &client);
    int statusHeight = LayoutStatusBar();
    HDC dc = GetDC(Ui.Window);
    HGDIOBJ oldFont = SelectObject(dc, Ui.Font);
    int rowHeight = RowHeight(dc);
    int right = client.right - Scale(MARGIN);
    int seekTop = FlowItems(dc, TopItems, COUNT_OF(TopItems), Scale(MARGIN), right, rowHeight, 1) +
                  Scale(GAP);
    int listTop = PlaceSeekRow(dc, seekTop, right, rowHeight) + Scale(GAP);
    int bottomHeight = FlowItems(dc, BottomItems, COUNT_OF(BottomItems), 0, right, rowHeight, 0);
    int bottomTop = client.bottom - statusHeight - Scale(GAP) - bottomHeight;
    FlowItems(dc, BottomItems, COUNT_OF(BottomItems), bottomTop, right, rowHeight, 1);
    int listHeight = bottomTop - Scale(GAP) - listTop;
    SetWindowPos(Ui.List, NULL, Scale(MARGIN), listTop, client.right - 2 * Scale(MARGIN),
                 listHeight > 0 ? listHeight : 0, SWP_NOZORDER | SWP_NOACTIVATE);
    SelectObject(dc, oldFont);
    ReleaseDC(Ui.Window, dc);
}

void LimitWindowSize(MINMAXINFO *limits) {
    limits->ptMinTrackSize.x = Scale(MIN_WIDTH);
    limits->ptMinTrackSize.y = Scale(MIN_HEIGHT);
}
