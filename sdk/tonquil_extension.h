/*
 * Tonquil extension interface.
 *
 * An extension module is a DLL named tonquil.dll beside tonquil.exe, built for
 * the player's machine: 32-bit for the player that ships, x64 for an x64
 * build of it. It exports one function, DynamicWndProc, shaped like a window procedure. The
 * player calls it on the player's main window thread with the notifications
 * below; the module drives the player back by sending the commands (as
 * WM_COMMAND) and the control messages to the window handle it is given.
 *
 * To close the player, send it IDM_EXIT or WM_CLOSE, from anywhere in the
 * module: the module receives XM_UNLOAD while the player's window is
 * destroyed, and stays mapped until the player's message loop has ended.
 *
 * The module's windows live in the player's process, under the player's
 * manifest: the whole process is per-monitor DPI aware (version 2 where the
 * system has it), so a module scales its windows itself and follows
 * WM_DPICHANGED; and common controls 6 are in force, with the visual styles
 * and the controls that need them.
 *
 * The player itself includes this header, so the values here are the ones
 * it uses.
 */
#ifndef TONQUIL_EXTENSION_H
#define TONQUIL_EXTENSION_H

#include <windows.h>
#include <stddef.h>

/* Notifications to the module (the message argument of DynamicWndProc). */
#define XM_INIT 0x8101         /* once after loading; answer nonzero to stay loaded */
#define XM_UNLOAD 0x8102       /* right before the module is freed */
#define XM_SHOWWINDOW 0x8103   /* the user asked for the window */
#define XM_TRACKCHANGED 0x8106 /* a track started or resumed; wParam = its index */

/* Commands, sent as WM_COMMAND with the id in wParam. */
#define IDM_ABOUT 256
#define IDM_EXIT 257
#define IDM_PAUSE 258
#define IDM_PLAY 259
#define IDM_PLAYNEXT 260
#define IDM_PLAYPREV 261
#define IDM_SHOWWINDOW 262
#define IDM_STOP 263
#define IDM_TRACKMENU 264
#define IDM_TRACKLIST 265
#define IDM_TRACK_FIRST 1280 /* + playlist index, up to 65535 */

/* Control messages to the player's main window; results as documented. */
#define CM_GETTRACKENTRY 0x8104 /* wParam index -> const TRACKENTRY * or 0; see its Path */
#define CM_GETTRACKNO 0x8105
#define CM_SETTRACKNO 0x8106  /* wParam index -> 1 set, 0 refused */
#define CM_INSERTTRACK 0x8107 /* wParam index (negative appends), lParam path -> 1/0 */
#define CM_REMOVETRACK 0x8108 /* wParam index -> 1/0 */
#define CM_PLAY 0x8110
#define CM_STOP 0x8111
#define CM_PAUSE 0x8112
#define CM_PLAYNEXT 0x8113
#define CM_PLAYPREV 0x8114
#define CM_GETSAMPLEBIT 0x8115
#define CM_SETSAMPLEBIT 0x8116 /* 0, 2 or 256 */
#define CM_GETVOLUME 0x8117
#define CM_SETVOLUME 0x8118 /* 0 to 100 */
#define CM_GETMUTE 0x8119
#define CM_SETMUTE 0x811A
#define CM_GETPLAYMODE 0x811B
#define CM_SETPLAYMODE 0x811C /* 0 stop at end, 1 in order, 2 shuffle */
#define CM_GETSHOWINFO 0x811D
#define CM_SETSHOWINFO 0x811E /* 0 none, 1 file name, 2 artist and title */
#define CM_INITAUDIO 0x811F   /* -> the audio library's module handle or 0 */
#define CM_SETTRACKSTYLE 0x8120
#define CM_GETTRACKSTYLE 0x8121
/* Position of the current track, in milliseconds. */
#define CM_GETLENGTH 0x8122   /* -> its length, 0 when nothing is open or it is unknown */
#define CM_GETPOSITION 0x8123 /* -> how far it has played, 0 when nothing is open */
#define CM_SETPOSITION 0x8124 /* wParam ms -> 1 moved, 0 refused (past the end, nothing open) */
#define CM_GETRESUME 0x8125
#define CM_SETRESUME 0x8126 /* 0 starts every track at 0, 1 resumes the last one at start */
#define CM_GETREPLAYGAIN 0x8127
#define CM_SETREPLAYGAIN 0x8128 /* 0 off, 1 track gain, 2 album gain */

/*
 * One playlist entry as CM_GETTRACKENTRY hands it out. Read it, never change
 * or free it; it stays valid until the entry is removed. Ten 32-bit slots: the
 * layout is fixed for 32-bit code. In x64 code the pointer slots are 64 bits
 * wide and the compiler places the slots by its own rules. A text stored in a reserved text slot
 * must come from the process heap and becomes the player's to free.
 *
 * Path names either a file or one track of a cue sheet, as "<sheet>|<N>":
 * the sheet's full path, a '|' and the track's number from 1 to 99, as in
 * "D:\Music\album.cue|7". Windows allows no '|' in a file name, so a module
 * tells the two apart by looking for the last '|': text before it is the file
 * to open, show or copy; without one, Path is the file itself. The text
 * before the '|' may be an audio file too: the same form names a track of the
 * sheet an image embeds, "D:\Music\album.flac|7".
 */
typedef struct TRACKENTRY {
    struct TRACKENTRY *Prev; /* the preceding entry, or the list head */
    LONG TrackId;            /* serial number from 1, restarted when the list is loaded again */
    WCHAR *Path;             /* the audio file, or "<sheet>|<N>" as above */
    LONG Reserved1;
    struct TRACKENTRY *Next; /* the following entry, or NULL for the last */
    WCHAR *ReservedText1;
    LONG Reserved2;
    WCHAR *ReservedText2;
    WCHAR *ReservedText3;
    LONG Reserved3;
} TRACKENTRY;

#if defined(_WIN32) && !defined(_WIN64)
#ifdef __cplusplus
#define TONQUIL_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
/* Any C compiler, C89 included: an array of negative size stops the build. */
#define TONQUIL_JOIN_(a, b) a##b
#define TONQUIL_JOIN(a, b) TONQUIL_JOIN_(a, b)
#define TONQUIL_STATIC_ASSERT(cond, msg)                                                           \
    typedef char TONQUIL_JOIN(TonquilLayoutCheck, __LINE__)[(cond) ? 1 : -1]
#endif
TONQUIL_STATIC_ASSERT(sizeof(TRACKENTRY) == 40, "TRACKENTRY is ten 32-bit slots");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Prev) == 0, "slot 1");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, TrackId) == 4, "slot 2");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Path) == 8, "slot 3");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Reserved1) == 12, "slot 4");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Next) == 16, "slot 5");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, ReservedText1) == 20, "slot 6");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Reserved2) == 24, "slot 7");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, ReservedText2) == 28, "slot 8");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, ReservedText3) == 32, "slot 9");
TONQUIL_STATIC_ASSERT(offsetof(TRACKENTRY, Reserved3) == 36, "slot 10");
#undef TONQUIL_STATIC_ASSERT
#undef TONQUIL_JOIN
#undef TONQUIL_JOIN_
#endif

/* Files beside the player that a module may read and write, and the name of
 * the player's icon among its resources. */
#define TQ_SETTINGS_FILE L"tonquil.ini"
#define TQ_PLAYLIST_FILE L"tonquil.m3u"
#define TQ_PLAYER_ICON L"MAINICON"

/* The module's one export, looked up by the undecorated name "DynamicWndProc". */
typedef LRESULT(CALLBACK *DYNAMICWNDPROC)(HWND player, UINT message, WPARAM wParam, LPARAM lParam);

#endif
