#include "player/core/player_state.h"

#include <iterator>
#include <stddef.h>

#include "tonquil_heap.h"
#include "tonquil_audio_library.h"
#include "tonquil_extension.h"

PLAYERSTATE *PlayerState;
TRAYCONFIG *TrayConfig;

#define CLIENT L"Client"
#define TASKTRAY L"TaskTray"

#define PLAYER(field) TARGET_PLAYER, offsetof(PLAYERSTATE, field)
#define TRAY(field) TARGET_TRAY, offsetof(TRAYCONFIG, field)
#define OPTION(target) target, 0
#define ANY CHECK_ANY, 0, NULL
#define ONE_OF(values) CHECK_SET, (int)std::size(values), values
#define WITHIN(bounds) CHECK_RANGE, 2, bounds

static_assert(SAMPLE_MONO == BASS_SAMPLE_MONO && SAMPLE_FLOAT == BASS_SAMPLE_FLOAT,
              "SampleBit holds the engine's flags");
static_assert(GAIN_OFF == BASS_TQ_REPLAYGAIN_OFF && GAIN_TRACK == BASS_TQ_REPLAYGAIN_TRACK &&
                  GAIN_ALBUM == BASS_TQ_REPLAYGAIN_ALBUM,
              "ReplayGain holds the engine's modes");

static const LONG PlayModes[] = {PLAY_STOP_AT_END, PLAY_IN_ORDER, PLAY_SHUFFLE};
static const LONG SampleBits[] = {SAMPLE_AS_DECODED, SAMPLE_MONO, SAMPLE_FLOAT};
static const LONG ShowInfos[] = {SHOW_NOTHING, SHOW_FILE_NAME, SHOW_ARTIST_TITLE};
static const LONG TrackStyles[] = {TRACKS_CLAMPED, TRACKS_ROLLING};
static const LONG Percent[] = {0, 100};
static const LONG Switch[] = {0, 1};
static const LONG GainModes[] = {GAIN_OFF, GAIN_TRACK, GAIN_ALBUM};
static const LONG Milliseconds[] = {0, 0x7FFFFFFF};
static const LONG Priorities[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS};

// The write-back follows this order.
const SETTING_RULE SettingRules[] = {
    // section, key, what it fills, at creation, when read, written back, accepted
    {CLIENT, L"Mute", PLAYER(Mute), 0, 0, WRITE_ALWAYS, ANY},
    {CLIENT, L"PlayMode", PLAYER(PlayMode), PLAY_IN_ORDER, PLAY_IN_ORDER, WRITE_ALWAYS,
     ONE_OF(PlayModes)},
    {CLIENT, L"ShowInfo", PLAYER(ShowInfo), SHOW_NOTHING, SHOW_NOTHING, WRITE_ALWAYS,
     ONE_OF(ShowInfos)},
    {CLIENT, L"SampleBit", PLAYER(SampleBit), SAMPLE_AS_DECODED, SAMPLE_AS_DECODED, WRITE_ALWAYS,
     ONE_OF(SampleBits)},
    {CLIENT, L"TrackCount", PLAYER(TrackCount), 20, 20, WRITE_NEVER, WITHIN(Percent)},
    {CLIENT, L"TrackNo", PLAYER(TrackNo), 0, 0, WRITE_ALWAYS, ANY},
    {CLIENT, L"Volume", PLAYER(Volume), 100, 100, WRITE_ALWAYS, WITHIN(Percent)},
    {CLIENT, L"TrackStyle", PLAYER(TrackStyle), TRACKS_ROLLING, TRACKS_ROLLING, WRITE_NEVER,
     ONE_OF(TrackStyles)},
    {CLIENT, L"Resume", PLAYER(Resume), 0, 0, WRITE_WHEN_SET, ONE_OF(Switch)},
    {CLIENT, L"ReplayGain", PLAYER(ReplayGain), GAIN_OFF, GAIN_OFF, WRITE_WHEN_SET,
     ONE_OF(GainModes)},
    // Read whatever Resume says; it is used only when Resume is on.
    {CLIENT, L"Position", PLAYER(Position), 0, 0, WRITE_WHEN_RESUMING, WITHIN(Milliseconds)},
    {CLIENT, L"FreeAddOn", PLAYER(FreeAddOn), 1, 1, WRITE_NEVER, ANY},
    {CLIENT, L"PlayRun", OPTION(TARGET_PLAY_AT_START), 0, 0, WRITE_NEVER, ANY},
    {CLIENT, L"ShowWnd", OPTION(TARGET_SHOW_AT_START), 0, 0, WRITE_NEVER, ANY},
    {CLIENT, L"Priority", OPTION(TARGET_PRIORITY), 0, NORMAL_PRIORITY_CLASS, WRITE_NEVER,
     ONE_OF(Priorities)},
    {CLIENT, L"Swap", OPTION(TARGET_WORKING_SET), 0, 0, WRITE_NEVER, ANY},
    // Two values on purpose: the record starts at 120, but the read at window
    // creation always runs and takes 130 when the key is absent, so 120 never
    // lasts past start-up.
    {TASKTRAY, L"Elapse", TRAY(Elapse), 120, 130, WRITE_NEVER, ANY},
    {TASKTRAY, L"LBtnClk", TRAY(LBtnClk), IDM_TRACKLIST, IDM_TRACKLIST, WRITE_NEVER, ANY},
    {TASKTRAY, L"LBtnDblClk", TRAY(LBtnDblClk), IDM_PLAYNEXT, IDM_PLAYNEXT, WRITE_NEVER, ANY},
    {TASKTRAY, L"RBtnClk", TRAY(RBtnClk), IDM_TRACKMENU, IDM_TRACKMENU, WRITE_NEVER, ANY},
    {TASKTRAY, L"RBtnDblClk", TRAY(RBtnDblClk), 0, 0, WRITE_NEVER, ANY},
    {TASKTRAY, L"MBtnClk", TRAY(MBtnClk), 0, 0, WRITE_NEVER, ANY},
    {TASKTRAY, L"MBtnDblClk", TRAY(MBtnDblClk), 0, 0, WRITE_NEVER, ANY},
};

const int SettingRuleCount = (int)std::size(SettingRules);
static_assert(std::size(SettingRules) <= 32, "the settings read marks each rule by a bit");

LONG *SettingField(const SETTING_RULE *rule) {
    BYTE *record = NULL;
    if (rule->Target == TARGET_PLAYER)
        record = (BYTE *)PlayerState;
    else if (rule->Target == TARGET_TRAY)
        record = (BYTE *)TrayConfig;
    return record ? (LONG *)(record + rule->Offset) : NULL;
}

// The fields no setting fills (Channel, LastButtonUp) start at 0.
int CreatePlayerRecords() {
    if (!PlayerState)
        PlayerState = (PLAYERSTATE *)HeapZeroAlloc(sizeof(PLAYERSTATE));
    if (!TrayConfig)
        TrayConfig = (TRAYCONFIG *)HeapZeroAlloc(sizeof(TRAYCONFIG));
    if (!PlayerState || !TrayConfig)
        return 0;
    ZeroMemory(PlayerState, sizeof *PlayerState);
    ZeroMemory(TrayConfig, sizeof *TrayConfig);
    for (const SETTING_RULE &rule : SettingRules) {
        LONG *field = SettingField(&rule);
        if (field)
            *field = rule.AtCreation;
    }
    return 1;
}
