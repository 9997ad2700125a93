// Where a playing stream's sound goes: a waveOut device fed a few short
// buffers ahead, or, when there is no device, a silent clock that takes the
// same buffers in real time, so that the end, pause and syncs behave alike.
#ifndef TONQUIL_ENGINE_OUTPUT_OUTPUT_H
#define TONQUIL_ENGINE_OUTPUT_OUTPUT_H

#include <windows.h>
#include <mmsystem.h>
#include <vector>

#define OUTPUT_BUFFERS 4
#define OUTPUT_BUFFER_MS 25
#define OUTPUT_SILENT ((UINT)-2) // the device number of the silent clock
// A device that has played nothing of what it holds for this long is gone.
#define OUTPUT_STALL_MS 2000
// How often a device that holds sound is looked at, since a lost one never
// signals again.
#define OUTPUT_WATCH_MS 250

struct OutputBuffer {
    WAVEHDR Header;
    std::vector<BYTE> Bytes;
    ULONGLONG EndFrame; // the played position at which this buffer is done
    bool Queued;
};

struct Output {
    DWORD Serial;    // never reused: names the output even after it is closed
    HWAVEOUT Device; // NULL: the silent clock
    DWORD Rate;
    DWORD Channels;
    DWORD FrameBytes;
    bool AsFloat;
    DWORD BufferFrames;
    OutputBuffer Buffers[OUTPUT_BUFFERS];
    ULONGLONG Written; // frames queued so far
    bool Paused;
    LARGE_INTEGER RunStart;    // the silent clock's last start
    ULONGLONG PlayedBeforeRun; // frames it had played before that
    bool Fed;                  // a stream queues its frames here
    bool Padded;               // it has had its silence since a stream last took it
    bool Idle;                 // nobody feeds it and it has played everything
    DWORD IdleSince;           // GetTickCount when it became idle
    DWORD LastPosition;        // the device's position in bytes when last looked at
    DWORD PositionSince;       // GetTickCount since which it has stayed there
    bool Lost;                 // the device refused a buffer or stopped playing
    HMODULE Module;            // held by the thread that closes a lost one
};

// Opens device (a waveOut id, WAVE_MAPPER or OUTPUT_SILENT) for frames of
// channels 16-bit or float samples; the device signals done when a buffer
// finishes. NULL when the device refuses the format.
Output *OpenOutput(UINT device, DWORD rate, DWORD channels, bool asFloat, HANDLE done);
// Stops at once and frees the output.
void CloseOutput(Output *output);
// Closes and frees a lost device's output on a thread of its own: a driver
// whose device has gone may hang in the close, and the caller holds the
// engine's lock.
void CloseOutputElsewhere(Output *output);
// The device has gone (unplugged, its sound server ended): it refused a
// buffer, or has held sound without playing any of it for OUTPUT_STALL_MS.
bool OutputLost(Output *output);

// A buffer ready to be filled, or NULL while all are queued.
OutputBuffer *IdleBuffer(Output *output);
void QueueBuffer(Output *output, OutputBuffer *buffer, DWORD frames);
// Queues a buffer's worth of silence, when a buffer is free.
void QueueSilence(Output *output);
// Every frame up to frame (counted as Written counts them) has been played.
bool OutputHasPlayed(Output *output, ULONGLONG frame);
// Every queued frame has been played.
bool OutputPlayedAll(Output *output);
// How many of the frames queued so far the listener has heard.
ULONGLONG OutputPlayedFrames(Output *output);
bool OutputMatches(const Output *output, DWORD rate, DWORD channels, bool asFloat);
void PauseOutput(Output *output);
void ResumeOutput(Output *output);
// How long until the silent clock finishes its next buffer; for a device,
// which signals by itself, how long until it is next watched for a loss;
// INFINITE while nothing is pending.
DWORD OutputWaitMs(Output *output);

#endif
