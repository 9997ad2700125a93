// The menu and icon resources as the player loads them; the version block and
// the manifest are checked on tonquil.exe itself.
#include <gtest/gtest.h>

#include <string>

#include "tonquil_extension.h"

namespace {

TEST(Resources, CommandMenuHasElevenRowsWithTheirIdsAndTexts) {
    struct Row {
        UINT id;
        const wchar_t *text; // NULL for a separator
    } rows[] = {
        {IDM_SHOWWINDOW, L"ウィンドウ表示(&W)"},
        {0, NULL},
        {IDM_PLAYPREV, L"前の曲(&F)"},
        {IDM_PLAY, L"再生(&P)"},
        {IDM_PAUSE, L"一時停止(&Q)"},
        {IDM_STOP, L"停止(&S)"},
        {IDM_PLAYNEXT, L"次の曲(&N)"},
        {0, NULL},
        {IDM_ABOUT, L"バージョン情報(&A)"},
        {0, NULL},
        {IDM_EXIT, L"終了(&X)"},
    };
    HMENU menu = LoadMenuW(GetModuleHandleW(NULL), L"MAINMENU");
    ASSERT_NE(nullptr, menu);
    ASSERT_EQ(1, GetMenuItemCount(menu));
    HMENU popup = GetSubMenu(menu, 0);
    ASSERT_NE(nullptr, popup);
    ASSERT_EQ(11, GetMenuItemCount(popup));
    for (UINT position = 0; position < 11; ++position) {
        SCOPED_TRACE(position);
        WCHAR text[64] = {};
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 64;
        ASSERT_TRUE(GetMenuItemInfoW(popup, position, TRUE, &info));
        EXPECT_EQ(nullptr, info.hSubMenu);
        if (!rows[position].text) {
            EXPECT_EQ((UINT)MFT_SEPARATOR, info.fType & MFT_SEPARATOR);
            continue;
        }
        EXPECT_EQ((UINT)MFT_STRING, info.fType);
        EXPECT_EQ(0u, info.fState); // nothing grayed, checked or default
        EXPECT_EQ(rows[position].id, info.wID);
        EXPECT_EQ(std::wstring(rows[position].text), std::wstring(text));
    }
    DestroyMenu(menu);
}

// The icon resource is a group of images; read its directory.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Resources, IconHasImagesOf16And32And48PixelsAt24Bits) {
    HMODULE module = GetModuleHandleW(NULL);
    HRSRC found = FindResourceW(module, L"MAINICON", RT_GROUP_ICON);
    ASSERT_NE(nullptr, found);
    const BYTE *group = (const BYTE *)LockResource(LoadResource(module, found));
    ASSERT_NE(nullptr, group);
    WORD count = *(const WORD *)(group + 4);
    ASSERT_EQ(3, count);
    const GroupIconEntry *entries = (const GroupIconEntry *)(group + 6);
    const int sizes[] = {16, 32, 48};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(sizes[i]);
        EXPECT_EQ(sizes[i], entries[i].width);
        EXPECT_EQ(sizes[i], entries[i].height);
        EXPECT_EQ(24, entries[i].bitCount);
        HICON icon =
            (HICON)LoadImageW(module, L"MAINICON", IMAGE_ICON, sizes[i], sizes[i], LR_DEFAULTCOLOR);
        EXPECT_NE(nullptr, icon);
        DestroyIcon(icon);
    }
}

} // namespace
