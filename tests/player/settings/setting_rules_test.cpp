// The settings read, the write-back and the control messages that set the
// same fields must take the same values: each key is tried with the same
// values through all three.
#include <gtest/gtest.h>

#include "player/core/player_state.h"
#include "player/control/control_messages.h"
#include "player/settings/settings.h"
#include "test_support.h"
#include "tonquil_extension.h"

#include <string>

namespace {

// No setting takes it, so a field that still holds it was left alone.
#define UNTOUCHED 0x5EED

struct SetterCase {
    const WCHAR *key;
    UINT setter;
    LONG *(*field)();
    bool persisted;
};

// Values that some of the settings take and others refuse.
const LONG Tried[] = {-1, 0, 1, 2, 3, 50, 100, 101, 256, 0x7FFFFFFF, (LONG)0x80000000};

// The key as the file holds it.
LONG FileValue(const WCHAR *key) {
    std::wstring path = TestFolder() + L"tonquil.ini";
    return ReadIntSetting(L"Client", key, UNTOUCHED, path.c_str());
}

} // namespace

TEST(SettingRules, ReadWriteAndSettersTakeTheSameValues) {
#define P(member) [] { return &PlayerState->member; }
    const SetterCase cases[] = {
        {L"Mute", CM_SETMUTE, P(Mute), true},
        {L"PlayMode", CM_SETPLAYMODE, P(PlayMode), true},
        {L"SampleBit", CM_SETSAMPLEBIT, P(SampleBit), true},
        {L"ShowInfo", CM_SETSHOWINFO, P(ShowInfo), true},
        {L"Volume", CM_SETVOLUME, P(Volume), true},
        {L"TrackStyle", CM_SETTRACKSTYLE, P(TrackStyle), false},
        {L"Resume", CM_SETRESUME, P(Resume), true},
        {L"ReplayGain", CM_SETREPLAYGAIN, P(ReplayGain), true},
    };
#undef P
    const std::wstring ini = TestFolder() + L"tonquil.ini";
    for (const SetterCase &c : cases)
        for (LONG value : Tried) {
            SCOPED_TRACE(Utf8(c.key) + "=" + std::to_string(value));
            ASSERT_TRUE(CreatePlayerRecords());
            LONG created = *c.field();
            bool set = OnControlMessage(NULL, c.setter, (WPARAM)(DWORD)value, 0) != 0;
            EXPECT_EQ(set ? value : created, *c.field());

            ASSERT_TRUE(WriteBytes(ini, "[Client]\r\n" + Utf8(c.key) + "=" + std::to_string(value) +
                                            "\r\n"));
            CreatePlayerRecords();
            *c.field() = UNTOUCHED;
            ReadSettings(NULL);
            EXPECT_EQ(set ? value : UNTOUCHED, *c.field()) << "the read disagrees";

            if (!set)
                continue;
            DeletePath(ini);
            CreatePlayerRecords();
            *c.field() = value;
            WriteSettings();
            EXPECT_EQ(c.persisted ? value : UNTOUCHED, FileValue(c.key)) << "the write disagrees";
        }
    DeletePath(ini);
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
}
