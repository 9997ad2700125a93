#include "pulse_capture.h"

#include "test_support.h"

#include <stdlib.h>
#include <string.h>

std::wstring Wide(const std::string &text) {
    return std::wstring(text.begin(), text.end());
}

std::wstring Pieces() {
    return TestFolder() + L"pieces\\";
}

std::vector<short> Samples(const std::string &raw) {
    std::vector<short> samples(raw.size() / 2);
    if (!samples.empty())
        memcpy(samples.data(), raw.data(), samples.size() * 2);
    return samples;
}

std::vector<short> Reference(const std::string &file) {
    std::string raw = file.substr(0, file.size() - 4) + ".raw";
    if (file.find(".mp3") != std::string::npos)
        raw = file + ".raw";
    return Samples(ReadBytes(Pieces() + Wide(raw)));
}

std::wstring CaptureFile() {
    return FromUnixPath(getenv("TONQUIL_CAPTURE")) + L"capture.raw";
}

size_t CapturedBytes() {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(CaptureFile().c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (size_t)data.nFileSizeLow & ~(size_t)3;
}

bool AskPulse(const char *request) {
    std::wstring file = FromUnixPath(getenv("TONQUIL_CAPTURE")) + Wide(request);
    if (!WriteBytes(file, ""))
        return false;
    return WaitUntil([&] { return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; },
                     10000);
}

LRESULT Ask(HWND window, UINT message, WPARAM wParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, message, wParam, 0, SMTO_BLOCK, 5000, &result);
    return (LRESULT)result;
}

bool FrameMatches(const std::vector<short> &got, size_t at, const std::vector<short> &want,
                  size_t from, int slack) {
    return abs(got[at] - want[from]) <= slack && abs(got[at + 1] - want[from + 1]) <= slack;
}

size_t FindSound(const std::vector<short> &got, size_t from, const std::vector<short> &want,
                 int slack) {
    for (size_t at = from; at + MATCH_FRAMES * 2 <= got.size(); at += 2) {
        size_t i = 0;
        while (i < MATCH_FRAMES * 2 && FrameMatches(got, at + i, want, i, slack))
            i += 2;
        if (i == MATCH_FRAMES * 2)
            return at;
    }
    return std::string::npos;
}
