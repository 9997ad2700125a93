// Resume through the real main window and the recording audio library: where
// the first play after start-up begins, and what the close writes.
#include "player_fixture.h"

#include "test_support.h"
#include "tonquil_extension.h"

#include <algorithm>

namespace {

const unsigned long long BytesPerSecond = 44100 * 4; // the double's stereo 16-bit output
const std::string TenSeconds = "LENGTH=" + std::to_string(10 * BytesPerSecond);

std::vector<std::pair<std::wstring, std::string>>
Numbered(const std::vector<std::string> &contents) {
    std::vector<std::pair<std::wstring, std::string>> tracks;
    for (size_t i = 0; i < contents.size(); ++i)
        tracks.push_back({L"t" + std::to_wstring(i) + L".mp3", contents[i]});
    return tracks;
}

} // namespace

class ResumeTest : public PlayerTest {
  protected:
    // Tracks t0, t1... of these contents, t1 remembered with Resume and
    // Position as given (a key left out when NULL), and the window open.
    HWND OpenRemembering(const std::vector<std::string> &contents, const wchar_t *resume,
                         const wchar_t *position) {
        DeletePath(folder + L"tonquil.ini");
        ResetLog(folder, L"bass-calls.log");
        WriteTracks(Numbered(contents));
        WriteSetting(L"TrackNo", L"1");
        if (resume)
            WriteSetting(L"Resume", resume);
        if (position)
            WriteSetting(L"Position", position);
        return Open();
    }
    std::string FileValue(const wchar_t *key) {
        return ClientValue(folder + L"tonquil.ini", key);
    }
};

TEST_F(ResumeTest, TheFirstPlayOfTheRememberedTrackBeginsWhereItStood) {
    const std::string ok = TenSeconds;
    const struct Case {
        const char *name;
        const wchar_t *resume, *position;
        std::vector<std::string> tracks;
        bool nextFirst;     // the first play is a "next" from the remembered track
        int plays;          // plays in a row
        const char *seek;   // the one seek the library is asked for, or NULL
        const char *played; // the file of the first play
    } cases[] = {
        {"resumed", L"1", L"2500", {ok, ok}, false, 1, "BASS_ChannelSetPosition(1,441000)=1", "t1"},
        {"resume off", L"0", L"2500", {ok, ok}, false, 1, NULL, "t1"},
        {"no resume key", NULL, L"2500", {ok, ok}, false, 1, NULL, "t1"},
        {"no position", L"1", NULL, {ok, ok}, false, 1, NULL, "t1"},
        {"unreadable", L"1", L"soon", {ok, ok}, false, 1, NULL, "t1"},
        {"negative", L"1", L"-2500", {ok, ok}, false, 1, NULL, "t1"},
        {"beyond the track", L"1", L"20000", {ok, ok}, false, 1, NULL, "t1"},
        {"at its end", L"1", L"10000", {ok, ok}, false, 1, NULL, "t1"},
        {"overflowing", L"1", L"99999999999", {ok, ok}, false, 1, NULL, "t1"},
        {"no length", L"1", L"2500", {ok, "no length"}, false, 1, NULL, "t1"},
        {"another track first", L"1", L"2500", {ok, ok}, true, 1, NULL, "t0"},
        {"second play",
         L"1",
         L"2500",
         {ok, ok},
         false,
         2,
         "BASS_ChannelSetPosition(1,441000)=1",
         "t1"},
        // The remembered file is gone: the one that slides into its index is
        // another track and starts at 0.
        {"unplayable", L"1", L"2500", {ok, "REFUSE", ok}, false, 1, NULL, "t2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr, OpenRemembering(c.tracks, c.resume, c.position));
        EXPECT_EQ(1, Send(c.nextFirst ? CM_PLAYNEXT : CM_PLAY));
        for (int i = 1; i < c.plays; ++i)
            EXPECT_EQ(1, Send(CM_PLAY));
        std::vector<std::string> log = BassLog();
        std::vector<std::string> seeks = LogLinesStarting(log, "BASS_ChannelSetPosition(");
        if (c.seek) {
            EXPECT_EQ(std::vector<std::string>{c.seek}, seeks);
        } else {
            EXPECT_TRUE(seeks.empty());
        }
        std::vector<std::string> opens = LogLinesStarting(log, "BASS_StreamCreateFile(");
        ASSERT_FALSE(opens.empty());
        // Never skipped: the track played is the remembered one or its heir.
        EXPECT_NE(std::string::npos, opens.back().find(std::string(c.played) + ".mp3"));
        // The seek comes before the sound does.
        if (c.seek) {
            auto seek = std::find(log.begin(), log.end(), c.seek);
            auto play = std::find_if(log.begin(), log.end(), [](const std::string &line) {
                return line.rfind("BASS_ChannelPlay(", 0) == 0;
            });
            EXPECT_LT(seek - log.begin(), play - log.begin());
        }
        Close();
    }
}

TEST_F(ResumeTest, CloseWritesResumeAndWhereTheCurrentTrackStands) {
    enum Action { PLAY_TO_12300, PLAY_AND_STOP, NOTHING };
    const struct Case {
        const char *name;
        const wchar_t *resume, *position;
        Action action;
        const char *resumeAfter, *positionAfter;
    } cases[] = {
        {"playing", L"1", NULL, PLAY_TO_12300, "1", "12300"},
        {"playing on from a resumed position", L"1", L"2500", PLAY_TO_12300, "1", "12300"},
        {"stopped", L"1", L"2500", PLAY_AND_STOP, "1", "0"},
        // Nothing played this time: the remembered place is kept.
        {"nothing played", L"1", L"2500", NOTHING, "1", "2500"},
        {"damaged position, nothing played", L"1", L"x", NOTHING, "1", "0"},
        {"resume off", L"0", L"2500", PLAY_TO_12300, "0", "2500"},
        {"resume never set", NULL, NULL, PLAY_TO_12300, "absent", "absent"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NE(nullptr,
                  OpenRemembering({TenSeconds + "a", TenSeconds + "b"}, c.resume, c.position));
        if (c.action != NOTHING) {
            EXPECT_EQ(1, Send(CM_PLAY));
            // A position of 12.3 s reached by playing.
            EXPECT_EQ(1, MoveDoubleStream(1, BytesPerSecond * 123 / 10));
        }
        if (c.action == PLAY_AND_STOP) {
            EXPECT_EQ(1, Send(CM_STOP));
        }
        Close();
        EXPECT_EQ(c.resumeAfter, FileValue(L"Resume"));
        EXPECT_EQ(c.positionAfter, FileValue(L"Position"));
    }
}
