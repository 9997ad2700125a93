// The two process-wide records of playback state and tray-click bindings,
// and the one table of the settings that fill them. Both records are created
// once at start-up and live until the process ends.
#ifndef TONQUIL_PLAYER_CORE_PLAYER_STATE_H
#define TONQUIL_PLAYER_CORE_PLAYER_STATE_H

#include <windows.h>

// The values of the settings that choose among a few, as tonquil.ini stores
// them and the control messages carry them.
enum PLAY_MODE { PLAY_STOP_AT_END = 0, PLAY_IN_ORDER = 1, PLAY_SHUFFLE = 2 };
enum SHOW_INFO { SHOW_NOTHING = 0, SHOW_FILE_NAME = 1, SHOW_ARTIST_TITLE = 2 };
enum TRACK_STYLE { TRACKS_CLAMPED = 0, TRACKS_ROLLING = 1 };
// The engine's stream flags BASS_SAMPLE_MONO and BASS_SAMPLE_FLOAT.
enum SAMPLE_BIT { SAMPLE_AS_DECODED = 0, SAMPLE_MONO = 2, SAMPLE_FLOAT = 256 };
// The engine's BASS_TQ_REPLAYGAIN_OFF, _TRACK and _ALBUM.
enum GAIN_MODE { GAIN_OFF = 0, GAIN_TRACK = 1, GAIN_ALBUM = 2 };

struct PLAYERSTATE {
    LONG FreeAddOn;  // nonzero: unload plug-ins before a built-in type is opened
    LONG Mute;       // nonzero: streams play at volume 0
    LONG PlayMode;   // a PLAY_MODE
    LONG SampleBit;  // a SAMPLE_BIT: extra stream flags
    LONG ShowInfo;   // a SHOW_INFO: what the balloon of a new track says
    LONG Channel;    // the current stream, 0 for none
    LONG TrackCount; // most items in the track list, 0 to 100
    LONG TrackNo;    // index of the current track; may lie out of range
    LONG TrackStyle; // a TRACK_STYLE: how the track list scrolls
    LONG Volume;     // 0 to 100
    LONG Resume;     // 1: the track current at close resumes at the next start
    LONG ReplayGain; // a GAIN_MODE: the engine's gain
    LONG Position;   // ms where the remembered track resumes; at close, where it stands
};

struct TRAYCONFIG {
    LONG LBtnClk;
    LONG RBtnClk;
    LONG MBtnClk;
    LONG LBtnDblClk;
    LONG RBtnDblClk;
    LONG MBtnDblClk;
    LONG LastButtonUp; // WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP or 0
    LONG Elapse;       // single-click delay in milliseconds
};

extern PLAYERSTATE *PlayerState;
extern TRAYCONFIG *TrayConfig;

// Creates both records with their values at creation (or resets them to
// those values when they exist). Returns 1, or 0 when the heap is exhausted.
int CreatePlayerRecords();

// Where a value of the settings file goes: a field of one of the records, or
// a start-up option that the settings read carries out once.
enum SETTING_TARGET {
    TARGET_PLAYER,
    TARGET_TRAY,
    TARGET_PLAY_AT_START,
    TARGET_SHOW_AT_START,
    TARGET_PRIORITY,
    TARGET_WORKING_SET,
};

// Which values a setting takes; any other leaves its field as it was.
enum SETTING_CHECK {
    CHECK_ANY,
    CHECK_SET,   // one of the Count values at Values
    CHECK_RANGE, // from Values[0] to Values[1], both included
};

// Whether the close writes a setting back. Keys that older files never held
// are written only once they mean something, so a file of a user who never
// touches them stays as it was.
enum SETTING_WRITE {
    WRITE_NEVER,
    WRITE_ALWAYS,
    WRITE_WHEN_SET,      // when the field is not 0, or the key was in the file when read
    WRITE_WHEN_RESUMING, // when Resume is on
};

// One setting: its key, what it fills, its values and which it accepts. The
// settings read and write and the control messages that set the same fields
// all go by this.
struct SETTING_RULE {
    const WCHAR *Section;
    const WCHAR *Key;
    SETTING_TARGET Target;
    SIZE_T Offset;         // of the field within its record, for a field's rule
    LONG AtCreation;       // the field's value when the record is created
    LONG WhenRead;         // what the read takes when the file or the key is absent
    SETTING_WRITE Written; // whether the close writes it back
    SETTING_CHECK Check;
    int Count;
    const LONG *Values;
};

extern const SETTING_RULE SettingRules[];
extern const int SettingRuleCount;

// The field that a record's rule fills, in the current record; NULL for a
// start-up option or before the records exist.
LONG *SettingField(const SETTING_RULE *rule);

#endif
