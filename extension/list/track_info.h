// What the window knows of each entry's title, artist and length, kept by
// TrackId for as long as the entry is in the list. Rows ask for it when
// they are drawn; while the window is shown, the rest of the list is read
// behind them. Everything here belongs to the window's thread.
#ifndef TONQUIL_EXTENSION_TRACK_INFO_H
#define TONQUIL_EXTENSION_TRACK_INFO_H

#include "extension/list/track_info_reader.h"
#include "tonquil_extension.h"

struct TRACK_INFO {
    LONG TrackId;
    int State;     // INFO_* below; INFO_FREE marks an empty slot
    int Round;     // INFO_UNREADABLE: the round of track starts it failed in
    LONG LengthMs; // 0: not known
    WCHAR *Title;
    WCHAR *Artist;
};

#define INFO_FREE 0
#define INFO_WANTED 1
#define INFO_ASKED 2
#define INFO_KNOWN 3
#define INFO_UNREADABLE 4

// The entry's record when it has been read; otherwise NULL, and the read is
// asked for (row is where the entry is drawn).
const TRACK_INFO *TrackInfoFor(const TRACKENTRY *entry, LONG row);
// The record when the entry has been read, without asking for anything.
const TRACK_INFO *KnownTrackInfo(LONG trackId);
// WM_TRACK_INFO_READ: keeps the result and redraws its row.
void OnTrackInfoRead(TRACK_INFO_RESULT *result);
// A track started, so the player may have loaded its plug-ins: files that
// could not be opened are tried again when next drawn.
void RetryUnreadableTracks();
// While on, the entries nobody has drawn are read too, a few at a time.
void ReadTrackInfoInBackground(int on);
// Starts the background reading over after the list changed.
void RestartBackgroundReading();
void ForgetTrackInfo();

#endif
