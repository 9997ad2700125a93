// Identifiers of the window module's resources and child windows. Tests use
// the control identifiers to find the controls.
#ifndef TONQUIL_EXTENSION_RESOURCE_H
#define TONQUIL_EXTENSION_RESOURCE_H

#define WINDOW_CLASS_NAME L"TonquilWindow"

// Child windows. They are made in tab order, which is not the order of
// the numbers: the seek row follows the volume, the options the play mode.
#define IDC_PREV 101
#define IDC_PLAY 102
#define IDC_PAUSE 103
#define IDC_STOP 104
#define IDC_NEXT 105
#define IDC_VOLUME_LABEL 106
#define IDC_VOLUME 107
#define IDC_MUTE 108
#define IDC_LIST 109
#define IDC_ADD 110
#define IDC_REMOVE 111
#define IDC_SAVE 112
#define IDC_MODE_LABEL 113
#define IDC_MODE 114
#define IDC_STATUS 115
#define IDC_SEEK_LABEL 116
#define IDC_SEEK 117
#define IDC_TIME 118
#define IDC_RESUME 119
#define IDC_GAIN_LABEL 120
#define IDC_GAIN 121

// Texts.
#define IDS_TITLE 1
#define IDS_PREV 2
#define IDS_PLAY 3
#define IDS_PAUSE 4
#define IDS_STOP 5
#define IDS_NEXT 6
#define IDS_VOLUME_LABEL 7
#define IDS_VOLUME_NAME 8
#define IDS_MUTE 9
#define IDS_MODE_LABEL 10
#define IDS_MODE_STOP 11
#define IDS_MODE_ORDER 12
#define IDS_MODE_SHUFFLE 13
#define IDS_LIST_NAME 14
#define IDS_ADD 15
#define IDS_REMOVE 16
#define IDS_SAVE 17
#define IDS_COLUMN_NUMBER 18
#define IDS_COLUMN_NAME 19
#define IDS_COLUMN_FOLDER 20
#define IDS_TRACK_COUNT 21
#define IDS_ADDED 22
#define IDS_ADD_REFUSED 23
#define IDS_REASON_FOLDER 24
#define IDS_REASON_REFUSED 25
#define IDS_REMOVED 26
#define IDS_LIST_CHANGED 27
#define IDS_SAVED 28
#define IDS_SAVE_FAILED 29
#define IDS_SAVE_UNMAPPABLE 30
#define IDS_KEYS_TAKEN 31
#define IDS_KEY_PLAYPAUSE 32
#define IDS_KEY_NEXT 33
#define IDS_KEY_PREV 34
#define IDS_KEY_STOP 35
#define IDS_OPEN_FILTER 36
#define IDS_OPEN_TITLE 37
#define IDS_TOO_MANY_FILES 38
#define IDS_NOW_PLAYING 39
#define IDS_CURRENT_TRACK 40
#define IDS_ENCODING_ANSI 41
#define IDS_ENCODING_UTF8 42
#define IDS_ASK_DROP 43
#define IDS_SAVE_KEPT 44
#define IDS_SEEK_LABEL 45
#define IDS_SEEK_NAME 46
#define IDS_RESUME 47
#define IDS_GAIN_LABEL 48
#define IDS_GAIN_OFF 49
#define IDS_GAIN_TRACK 50
#define IDS_GAIN_ALBUM 51
#define IDS_COLUMN_ARTIST 52
#define IDS_COLUMN_LENGTH 53
#define IDS_SAVE_READ_ONLY 54

#endif
