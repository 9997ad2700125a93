// What the tests that play into the private PulseAudio of with-pulse.sh
// share: the tracks make-pieces.sh cut, the capture, the server's control and
// the player's answers.
#ifndef TONQUIL_TESTS_GAPLESS_PULSE_CAPTURE_H
#define TONQUIL_TESTS_GAPLESS_PULSE_CAPTURE_H

#include <windows.h>

#include <string>
#include <vector>

#define CAPTURE_RATE 44100
#define MATCH_FRAMES 64 // frames that must agree where a track is found

std::wstring Wide(const std::string &text);
// The folder of make-pieces.sh's tracks.
std::wstring Pieces();
std::vector<short> Samples(const std::string &raw);
// What the track should sound like: a WAV piece as cut, an MP3 as lame decodes it.
std::vector<short> Reference(const std::string &file);

// The capture file, and how many whole frames' bytes it holds so far.
std::wstring CaptureFile();
size_t CapturedBytes();

// Asks with-pulse.sh to stop ("stop") or start ("start") the server, and
// waits until it has; false when it did not within 10 s.
bool AskPulse(const char *request);

// The player's answer, or 0 when it gave none within 5 s.
LRESULT Ask(HWND window, UINT message, WPARAM wParam = 0);

bool FrameMatches(const std::vector<short> &got, size_t at, const std::vector<short> &want,
                  size_t from, int slack);
// The first place at or after from (in samples) where want's opening frames
// lie; npos when none.
size_t FindSound(const std::vector<short> &got, size_t from, const std::vector<short> &want,
                 int slack);

#endif
