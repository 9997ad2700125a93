// The Japanese texts must be drawn, not shown as boxes: every character of
// the command menu has a glyph in the system's menu font, and every text of
// the window has one in the font its control draws with. The test prefix is
// made as the run command's, so this holds for what a user of it sees.
#include "module_window.h"

#include <commctrl.h>

#include <string>
#include <vector>

namespace {

// The characters of text that font cannot draw; line breaks, tabs and the
// mnemonic marks are not drawn as glyphs at all.
std::wstring MissingGlyphs(HFONT font, const std::wstring &text) {
    std::wstring drawn;
    for (wchar_t c : text)
        if (c >= L' ' && c != L'&')
            drawn += c;
    if (drawn.empty())
        return std::wstring();
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, font);
    std::vector<WORD> glyphs(drawn.size());
    DWORD done = GetGlyphIndicesW(dc, drawn.c_str(), (int)drawn.size(), glyphs.data(),
                                  GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, old);
    DeleteDC(dc);
    if (done == GDI_ERROR)
        return drawn;
    std::wstring missing;
    for (size_t i = 0; i < drawn.size(); ++i)
        if (glyphs[i] == 0xFFFF)
            missing += drawn[i];
    return missing;
}

void CollectMenuTexts(HMENU menu, std::vector<std::wstring> *texts) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = L"";
        MENUITEMINFOW item = {};
        item.cbSize = sizeof item;
        item.fMask = MIIM_STRING | MIIM_SUBMENU;
        item.dwTypeData = text;
        item.cch = 256;
        GetMenuItemInfoW(menu, (UINT)i, TRUE, &item);
        texts->push_back(text);
        if (item.hSubMenu)
            CollectMenuTexts(item.hSubMenu, texts);
    }
}

struct DrawnText {
    HFONT Font;
    std::wstring Text;
};

std::vector<DrawnText> MenuTexts() {
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    HFONT font = CreateFontIndirectW(&metrics.lfMenuFont);
    HMENU menu = LoadMenuW(GetModuleHandleW(NULL), L"MAINMENU");
    std::vector<std::wstring> texts;
    CollectMenuTexts(menu, &texts);
    DestroyMenu(menu);
    std::vector<DrawnText> drawn;
    for (const std::wstring &text : texts)
        drawn.push_back({font, text});
    return drawn;
}

// Every control's own text, the play-mode choices, the column headers and
// the status bar's parts, each with the font its control draws with.
BOOL CALLBACK CollectControlTexts(HWND control, LPARAM to) {
    std::vector<DrawnText> *drawn = (std::vector<DrawnText> *)to;
    // A control that was given no font draws in the system font.
    HFONT font = (HFONT)SendMessageW(control, WM_GETFONT, 0, 0);
    if (!font)
        font = (HFONT)GetStockObject(SYSTEM_FONT);
    wchar_t text[512] = L"";
    GetWindowTextW(control, text, 512);
    drawn->push_back({font, text});
    for (int i = 0; i < (int)SendMessageW(control, CB_GETCOUNT, 0, 0); ++i) {
        SendMessageW(control, CB_GETLBTEXT, (WPARAM)i, (LPARAM)text);
        drawn->push_back({font, text});
    }
    HWND header = (HWND)SendMessageW(control, LVM_GETHEADER, 0, 0);
    for (int i = 0; header && i < Header_GetItemCount(header); ++i) {
        HDITEMW item = {};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = 512;
        Header_GetItem(header, i, &item);
        drawn->push_back({font, text});
    }
    return TRUE;
}

} // namespace

TEST_F(ModuleWindow, MenuAndWindowTextsHaveAGlyphForEveryCharacter) {
    WritePlaylist(MakeTracks(3));
    HWND window = StartAndShow();
    ASSERT_NE(nullptr, window);
    std::vector<DrawnText> drawn = MenuTexts();
    size_t menuTexts = drawn.size();
    EnumChildWindows(window, CollectControlTexts, (LPARAM)&drawn);
    ASSERT_GT(menuTexts, 10u);
    ASSERT_GT(drawn.size(), menuTexts + 10);
    int japanese = 0;
    for (const DrawnText &text : drawn) {
        for (wchar_t c : text.Text)
            japanese += c >= 0x3000;
        EXPECT_EQ(L"", MissingGlyphs(text.Font, text.Text)) << "in \"" << text.Text << "\"";
    }
    EXPECT_GT(japanese, 50);
    DeleteObject(drawn.front().Font);
}
