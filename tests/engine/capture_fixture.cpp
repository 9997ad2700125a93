#include "capture_fixture.h"

#include "test_support.h"

#include <mmsystem.h>

namespace {

HANDLE Ended;

void CALLBACK SignalEnd(HSYNC, DWORD, DWORD, DWORD) {
    SetEvent(Ended);
}

} // namespace

void WaveOutCapture::SetUp() {
    if (waveOutGetNumDevs() == 0)
        GTEST_SKIP() << "no waveOut device: ALSA_CONFIG_PATH does not name the capture";
    Folder = MakeScratchFolder(L"capture");
    Ended = CreateEventW(NULL, TRUE, FALSE, NULL);
    ASSERT_TRUE(BASS_Init(-1, 44100, 0, NULL, NULL));
}

void WaveOutCapture::TearDown() {
    BASS_Free();
    if (Ended)
        CloseHandle(Ended);
    Ended = NULL;
}

HSTREAM WaveOutCapture::Open(const std::string &file, DWORD flags) {
    Bytes = file;
    ResetEvent(Ended);
    Stream = BASS_StreamCreateFile(TRUE, Bytes.data(), 0, (DWORD)Bytes.size(), flags);
    BASS_ChannelSetSync(Stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, SignalEnd, 0);
    return Stream;
}

bool WaveOutCapture::EndsWithin(DWORD ms) {
    return WaitForSingleObject(Ended, ms) == WAIT_OBJECT_0;
}

void WaveOutCapture::WaitHeard() {
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(Ended, 5000));
    EXPECT_TRUE(WaitUntilStopped(Stream, 2000));
}

std::vector<std::string> WaveOutCapture::CapturedFiles() {
    WaitHeard();
    BASS_Free();
    std::vector<std::string> captured;
    for (const std::wstring &file : CaptureFiles(Folder))
        captured.push_back(ReadBytes(file));
    return captured;
}

std::string WaveOutCapture::Captured() {
    std::vector<std::string> files = CapturedFiles();
    EXPECT_EQ(1u, files.size());
    return files.empty() ? std::string() : files[0];
}
