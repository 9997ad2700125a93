// Which keys the close writes: with Resume and ReplayGain never used, the
// file comes out exactly as the six keys alone would leave it; the two keys
// are written once they are on, or when the file held them.
#include <gtest/gtest.h>

#include "app/player_state.h"
#include "player_window.h"
#include "test_support.h"
#include "tonquil_extension.h"
#include "tray/tray_icon.h"

#include <string>

namespace {

BOOL WINAPI IgnoreTrayRequest(DWORD, PNOTIFYICONDATAW) {
    return TRUE;
}

class WrittenKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        ini = TestFolder() + L"tonquil.ini";
        today = TestFolder() + L"today.ini";
        NotifyIconCall = IgnoreTrayRequest;
    }
    void TearDown() override {
        DeletePath(ini);
        DeletePath(today);
        NotifyIconCall = Shell_NotifyIconW;
    }

    // Opens the window on a file of these bytes (none when empty).
    HWND Open(const std::string &bytes) {
        DeletePath(ini);
        if (!bytes.empty()) {
            EXPECT_TRUE(WriteBytes(ini, bytes));
        }
        return StartPlayerWindow();
    }

    // The six keys as the close has always written them, through the same
    // profile call, into a copy of the file as it was.
    std::string AsTodaysCloseWrites(const std::string &before) {
        DeletePath(today);
        if (!before.empty())
            WriteBytes(today, before);
        const struct {
            const wchar_t *key;
            LONG value;
        } six[] = {{L"Mute", PlayerState->Mute},         {L"PlayMode", PlayerState->PlayMode},
                   {L"ShowInfo", PlayerState->ShowInfo}, {L"SampleBit", PlayerState->SampleBit},
                   {L"TrackNo", PlayerState->TrackNo},   {L"Volume", PlayerState->Volume}};
        for (const auto &key : six)
            WritePrivateProfileStringW(L"Client", key.key, std::to_wstring(key.value).c_str(),
                                       today.c_str());
        return ReadBytes(today);
    }

    std::string FileValue(const wchar_t *key) {
        return ClientValue(ini, key);
    }

    std::wstring ini, today;
};

} // namespace

TEST_F(WrittenKeys, WithResumeAndReplayGainUnusedTheFileIsWrittenAsBefore) {
    const std::string files[] = {
        "",
        "; kept\r\n[TaskTray]\r\nElapse=300\r\n[Client]\r\nVolume=30\r\nExtra=kept\r\n",
        "[Client]\r\nTrackNo=4\r\nPosition=777\r\n",
        "[Client]\r\nPlayMode=2\r\n[Other]\r\nResume=1\r\nReplayGain=2\r\n",
    };
    for (const std::string &before : files) {
        SCOPED_TRACE(before);
        HWND window = Open(before);
        ASSERT_NE(nullptr, window);
        PlayerState->Volume = 64; // a change of one of the six
        std::string expected = AsTodaysCloseWrites(before);
        ClosePlayerWindow(window);
        EXPECT_EQ(expected, ReadBytes(ini));
    }
}

TEST_F(WrittenKeys, ResumeAndReplayGainAreWrittenWhenOnOrWhenTheFileHeldThem) {
    const struct Case {
        const char *file;
        LONG setResume, setGain; // by message before the close; -1: not sent
        const char *resume, *gain, *position;
    } cases[] = {
        {"", -1, 1, "absent", "1", "absent"},
        {"", 1, -1, "1", "absent", "0"},
        {"", 0, 0, "absent", "absent", "absent"},
        {"[Client]\r\nResume=1\r\nReplayGain=2\r\n", 0, 0, "0", "0", "absent"},
        {"[Client]\r\nReplayGain=2\r\n", -1, -1, "absent", "2", "absent"},
        {"[Client]\r\nResume=1\r\nPosition=4000\r\n", -1, 2, "1", "2", "4000"},
        // Refused values in the file read as 0; keys that were there are
        // written with it.
        {"[Client]\r\nReplayGain=7\r\nResume=\r\n", -1, -1, "0", "0", "absent"},
        {"[Client]\r\nResume=1\r\nPosition=-4000\r\n", -1, -1, "1", "absent", "0"},
        {"[Client]\r\nResume=on\r\nPosition=4000\r\n", -1, -1, "0", "absent", "4000"},
        // In another section they are not the player's.
        {"[TaskTray]\r\nResume=1\r\nReplayGain=1\r\n", -1, -1, "absent", "absent", "absent"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        HWND window = Open(c.file);
        ASSERT_NE(nullptr, window);
        if (c.setResume >= 0) {
            EXPECT_EQ(1, SendMessageW(window, CM_SETRESUME, c.setResume, 0));
        }
        if (c.setGain >= 0) {
            EXPECT_EQ(1, SendMessageW(window, CM_SETREPLAYGAIN, c.setGain, 0));
        }
        ClosePlayerWindow(window);
        EXPECT_EQ(c.resume, FileValue(L"Resume"));
        EXPECT_EQ(c.gain, FileValue(L"ReplayGain"));
        EXPECT_EQ(c.position, FileValue(L"Position"));
    }
}
