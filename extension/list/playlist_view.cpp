#include "extension/list/playlist_view.h"

#include "tonquil_heap.h"
#include "extension/window/keyboard.h"
#include "extension/common/dpi.h"
#include "extension/module_record.h"
#include "extension/common/player_link.h"
#include "extension/list/row_removal.h"
#include "extension/window/resource.h"
#include "extension/window/status_bar.h"
#include "extension/common/texts.h"
#include "extension/list/track_info.h"
#include "extension/window/window_ui.h"

#include <commctrl.h>

#define LIST_SUBCLASS_ID 2

static const UINT ColumnTitles[PLAYLIST_COLUMNS] = {
    IDS_COLUMN_NUMBER, IDS_COLUMN_NAME, IDS_COLUMN_FOLDER, IDS_COLUMN_ARTIST, IDS_COLUMN_LENGTH};
static const int DefaultWidths[PLAYLIST_COLUMNS] = {56, 240, 300, 150, 64};
static const int ShownOrder[PLAYLIST_COLUMNS] = {COLUMN_NUMBER, COLUMN_TITLE, COLUMN_ARTIST,
                                                 COLUMN_LENGTH, COLUMN_FOLDER};

static PLAYLIST_SHAPE ShownShape;
static LONG MarkedTrack;
static LONG PaintedCurrent;
static int SyncRequested;

// The remembered entry must not outlive one message of the list view: the
// list can only change between them.
static LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR) {
    EnterModuleCode();
    ForgetCachedEntry();
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(list, ListProc, LIST_SUBCLASS_ID);
    LRESULT result = DefSubclassProc(list, message, wParam, lParam);
    ForgetCachedEntry();
    LeaveModuleCode();
    return result;
}

HWND CreatePlaylistView(HWND window) {
    WCHAR name[TEXT_SIZE];
    LoadText(IDS_LIST_NAME, name, TEXT_SIZE);
    HWND list = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, name,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS, 0, 0,
        0, 0, window, (HMENU)(UINT_PTR)IDC_LIST, Module.Instance, NULL);
    if (!list)
        return NULL;
    Ui.List = list;
    ListView_SetExtendedListViewStyle(list,
                                      LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_LABELTIP);
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column) {
        WCHAR title[TEXT_SIZE];
        LoadText(ColumnTitles[column], title, TEXT_SIZE);
        LVCOLUMNW header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM | LVCF_FMT;
        header.fmt = column == COLUMN_LENGTH ? LVCFMT_RIGHT : LVCFMT_LEFT;
        header.pszText = title;
        header.cx = Scale(DefaultWidths[column]);
        header.iSubItem = column;
        SendMessageW(list, LVM_INSERTCOLUMNW, column, (LPARAM)&header);
    }
    ListView_SetColumnOrderArray(list, PLAYLIST_COLUMNS, ShownOrder);
    SetWindowSubclass(list, ListProc, LIST_SUBCLASS_ID, 0);
    AddKeyboardHandling(list);
    ShownShape.Count = -1; // nothing shown yet: the first sync fills the view
    MarkedTrack = -1;
    SyncRequested = 0;
    return list;
}

void SetColumnWidths(const int *widths) {
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column)
        if (widths[column] > 0)
            ListView_SetColumnWidth(Ui.List, column, Scale(widths[column]));
}

void GetColumnWidths(int *widths) {
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column)
        widths[column] = Unscale(ListView_GetColumnWidth(Ui.List, column));
}

void RescaleColumns(UINT from, UINT to) {
    for (int column = 0; column < PLAYLIST_COLUMNS; ++column) {
        int width = ListView_GetColumnWidth(Ui.List, column);
        ListView_SetColumnWidth(Ui.List, column, MulDiv(width, (int)to, (int)from));
    }
}

static void RedrawRow(LONG index) {
    if (index >= 0 && index < ShownShape.Count)
        ListView_RedrawItems(Ui.List, index, index);
}

void SyncPlaylistView() {
    SyncRequested = 0;
    PLAYLIST_SHAPE shape = ReadPlaylistShape();
    if (!SameShape(&shape, &ShownShape)) {
        ShownShape = shape;
        ListView_SetItemCountEx(Ui.List, shape.Count, LVSICF_NOSCROLL);
        // Clearing a selection that is not there costs a pass over every
        // row in some list views.
        if (ListView_GetSelectedCount(Ui.List))
            ListView_SetItemState(Ui.List, -1, 0, LVIS_SELECTED);
        InvalidateRect(Ui.List, NULL, FALSE);
        ShowTrackCount(shape.Count);
        RestartBackgroundReading();
    }
    LONG current = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
    if (current != MarkedTrack) {
        RedrawRow(MarkedTrack);
        RedrawRow(current);
        MarkedTrack = current;
    }
}

// A row asked for that the list no longer has: catch up once the drawing
// is over, not in the middle of it.
static void RequestSync() {
    if (SyncRequested)
        return;
    SyncRequested = 1;
    PostMessageW(Ui.Window, WM_SYNC_LATER, 0, 0);
}

void ShowCurrentTrack() {
    LONG current = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
    if (current >= 0 && current < ShownShape.Count)
        ListView_EnsureVisible(Ui.List, current, FALSE);
}

void SelectRow(LONG index) {
    if (ListView_GetSelectedCount(Ui.List))
        ListView_SetItemState(Ui.List, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(Ui.List, index, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(Ui.List, index, FALSE);
}

int ViewMatchesPlaylist() {
    PLAYLIST_SHAPE shape = ReadPlaylistShape();
    if (SameShape(&shape, &ShownShape))
        return 1;
    SyncPlaylistView();
    ShowStatusText(IDS_LIST_CHANGED);
    return 0;
}

LONG DropIndexAt(POINT windowPoint) {
    POINT point = windowPoint;
    MapWindowPoints(Ui.Window, Ui.List, &point, 1);
    LVHITTESTINFO hit = {};
    hit.pt = point;
    LONG index = (LONG)SendMessageW(Ui.List, LVM_HITTEST, 0, (LPARAM)&hit);
    if (index < 0 || !(hit.flags & LVHT_ONITEM))
        return -1;
    PLAYLIST_SHAPE shape = ReadPlaylistShape();
    return SameShape(&shape, &ShownShape) ? index : -1;
}

void PlayRow(LONG index) {
    if (index < 0 || !ViewMatchesPlaylist())
        return;
    // The same steps as the player's own track menu, by index, so that
    // every row can be reached (a command carries at most 16 bits).
    if (SendToPlayer(CM_SETTRACKNO, (WPARAM)index, 0)) {
        SendToPlayer(CM_STOP, 0, 0);
        SendToPlayer(CM_PLAY, 0, 0);
    }
    // Entries the player could not open have left the list meanwhile.
    SyncPlaylistView();
}

// The selected rows as runs of consecutive indices, from the heap; NULL
// when there is none or no memory.
static ROW_RUN *SelectedRuns(int *count) {
    *count = 0;
    int selected = ListView_GetSelectedCount(Ui.List);
    if (selected <= 0)
        return NULL;
    ROW_RUN *runs = (ROW_RUN *)HeapZeroAlloc(sizeof(ROW_RUN) * (SIZE_T)selected);
    if (!runs)
        return NULL;
    if (selected == ShownShape.Count) {
        // Everything: spares asking for each row, which some list views
        // answer slowly.
        runs[0].Start = 0;
        runs[0].Length = selected;
        *count = 1;
        return runs;
    }
    for (int row = ListView_GetNextItem(Ui.List, -1, LVNI_SELECTED); row >= 0;
         row = ListView_GetNextItem(Ui.List, row, LVNI_SELECTED)) {
        if (*count > 0 && runs[*count - 1].Start + runs[*count - 1].Length == row) {
            ++runs[*count - 1].Length;
        } else if (*count < selected) {
            runs[*count].Start = row;
            runs[*count].Length = 1;
            ++*count;
        } else {
            break;
        }
    }
    return runs;
}

void RemoveSelectedRows() {
    if (ListView_GetSelectedCount(Ui.List) <= 0 || !ViewMatchesPlaylist())
        return;
    int count;
    ROW_RUN *runs = SelectedRuns(&count);
    if (!runs)
        return;
    LONG removed = RemoveRuns(runs, count);
    LONG first = runs[0].Start;
    HeapRelease(runs);
    SyncPlaylistView();
    if (ShownShape.Count > 0)
        SelectRow(first < ShownShape.Count ? first : ShownShape.Count - 1);
    WCHAR text[TEXT_SIZE];
    FormatText(text, IDS_REMOVED, (int)removed);
    ShowStatus(text);
}

static void FillTrackInfoText(LVITEMW *item, const TRACKENTRY *entry) {
    const TRACK_INFO *info = TrackInfoFor(entry, item->iItem);
    switch (item->iSubItem) {
    case COLUMN_TITLE:
        if (info && info->Title)
            lstrcpynW(item->pszText, info->Title, item->cchTextMax);
        else
            CopyEntryName(entry->Path, item->pszText, item->cchTextMax);
        break;
    case COLUMN_ARTIST:
        if (info && info->Artist)
            lstrcpynW(item->pszText, info->Artist, item->cchTextMax);
        break;
    case COLUMN_LENGTH:
        if (info && info->LengthMs > 0) {
            WCHAR length[CLOCK_SIZE];
            FormatClock(info->LengthMs, length);
            lstrcpynW(item->pszText, length, item->cchTextMax);
        }
        break;
    }
}

static void FillRowText(NMLVDISPINFOW *info) {
    LVITEMW *item = &info->item;
    if (!(item->mask & LVIF_TEXT) || !item->pszText || item->cchTextMax <= 0)
        return;
    item->pszText[0] = 0;
    const TRACKENTRY *entry = EntryAt(item->iItem);
    if (!entry || !entry->Path) {
        RequestSync();
        return;
    }
    switch (item->iSubItem) {
    case COLUMN_NUMBER: {
        WCHAR number[32];
        LONG current = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
        wsprintfW(number, item->iItem == current ? L"\x25B6 %d" : L"%d", item->iItem + 1);
        lstrcpynW(item->pszText, number, item->cchTextMax);
        break;
    }
    case COLUMN_FOLDER:
        CopyPathFolder(entry->Path, item->pszText, item->cchTextMax);
        break;
    default:
        FillTrackInfoText(item, entry);
        break;
    }
}

static int IsHighContrast() {
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// A light wash of the selection colour over the window colour, so the mark
// follows the user's colour scheme.
static COLORREF CurrentRowColour() {
    COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    return RGB((GetRValue(window) * 4 + GetRValue(highlight)) / 5,
               (GetGValue(window) * 4 + GetGValue(highlight)) / 5,
               (GetBValue(window) * 4 + GetBValue(highlight)) / 5);
}

static LRESULT DrawCurrentRow(NMLVCUSTOMDRAW *draw) {
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        PaintedCurrent = (LONG)SendToPlayer(CM_GETTRACKNO, 0, 0);
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        if ((LONG)draw->nmcd.dwItemSpec != PaintedCurrent)
            return CDRF_DODEFAULT;
        SelectObject(draw->nmcd.hdc, Ui.BoldFont);
        if (!(draw->nmcd.uItemState & CDIS_SELECTED) && !IsHighContrast())
            draw->clrTextBk = CurrentRowColour();
        return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
}

// The title as the row shows it.
static int NameStartsWith(const TRACKENTRY *entry, const WCHAR *prefix, int length) {
    const TRACK_INFO *info = KnownTrackInfo(entry->TrackId);
    WCHAR fileName[NAME_SIZE];
    CopyEntryName(entry->Path, fileName, NAME_SIZE);
    const WCHAR *name = info && info->Title ? info->Title : fileName;
    return lstrlenW(name) >= length && CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, name,
                                                      length, prefix, length) == CSTR_EQUAL;
}

// Typing a title's first letters moves to the next row whose title starts so.
static LRESULT FindRowByName(const NMLVFINDITEMW *find) {
    if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
        return -1;
    int length = lstrlenW(find->lvfi.psz);
    LONG count = ShownShape.Count;
    LONG index = find->iStart >= 0 && find->iStart < count ? find->iStart : 0;
    const TRACKENTRY *entry = EntryAt(index);
    for (LONG step = 0; step < count; ++step) {
        if (!entry) {
            index = 0;
            entry = EntryAt(0);
            if (!entry)
                break;
        }
        if (entry->Path && NameStartsWith(entry, find->lvfi.psz, length))
            return index;
        entry = entry->Next;
        ++index;
    }
    return -1;
}

static void OnListKey(const NMLVKEYDOWN *key) {
    if (key->wVKey == VK_DELETE)
        RemoveSelectedRows();
    else if (key->wVKey == 'A' && GetKeyState(VK_CONTROL) < 0)
        ListView_SetItemState(Ui.List, -1, LVIS_SELECTED, LVIS_SELECTED);
}

LRESULT OnPlaylistNotify(NMHDR *header) {
    switch (header->code) {
    case LVN_GETDISPINFOW:
        FillRowText((NMLVDISPINFOW *)header);
        return 0;
    case NM_CUSTOMDRAW:
        return DrawCurrentRow((NMLVCUSTOMDRAW *)header);
    case NM_DBLCLK:
        PlayRow(((NMITEMACTIVATE *)header)->iItem);
        return 0;
    case NM_RETURN:
        PlayRow(ListView_GetNextItem(Ui.List, -1, LVNI_FOCUSED));
        return 0;
    case LVN_KEYDOWN:
        OnListKey((NMLVKEYDOWN *)header);
        return 0;
    case LVN_ODFINDITEMW:
        return FindRowByName((NMLVFINDITEMW *)header);
    }
    return 0;
}
