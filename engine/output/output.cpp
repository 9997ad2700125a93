#include "engine/output/output.h"

#include "media/no_throw.h"

#include <mmreg.h>
#include <new>

#include <algorithm>

namespace {

// The sub-format GUIDs of WAVEFORMATEXTENSIBLE: the plain format tag in front
// of a fixed tail.
const GUID SubFormatPcm = {
    WAVE_FORMAT_PCM, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};
const GUID SubFormatFloat = {
    WAVE_FORMAT_IEEE_FLOAT, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

ULONGLONG ClockFrames(const Output *output) {
    if (output->Paused)
        return output->PlayedBeforeRun;
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    ULONGLONG ticks = (ULONGLONG)(now.QuadPart - output->RunStart.QuadPart);
    ULONGLONG frames = output->PlayedBeforeRun + ticks / frequency.QuadPart * output->Rate +
                       ticks % frequency.QuadPart * output->Rate / frequency.QuadPart;
    return frames < output->Written ? frames : output->Written;
}

bool BufferDone(const Output *output, const OutputBuffer *buffer) {
    if (!buffer->Queued)
        return true;
    if (output->Device)
        return (buffer->Header.dwFlags & WHDR_DONE) != 0;
    return ClockFrames(output) >= buffer->EndFrame;
}

// Nothing queued has been waited for so far: a device's watch starts now.
void StartWatch(Output *output) {
    output->PositionSince = GetTickCount();
}

DWORD WINAPI CloseOutputThread(void *parameter) {
    Output *output = (Output *)parameter;
    HMODULE module = output->Module;
    CloseOutput(output);
    FreeLibraryAndExitThread(module, 0);
}

void DescribeFormat(DWORD rate, DWORD channels, bool asFloat, WAVEFORMATEXTENSIBLE *format) {
    static const DWORD Masks[9] = {0,    0x4,  0x3,   0x7,  0x33,
                                   0x37, 0x3F, 0x13F, 0x63F}; // the usual speaker layouts
    WAVEFORMATEX &wave = format->Format;
    wave.wFormatTag = asFloat ? WAVE_FORMAT_IEEE_FLOAT : WAVE_FORMAT_PCM;
    wave.nChannels = (WORD)channels;
    wave.nSamplesPerSec = rate;
    wave.wBitsPerSample = asFloat ? 32 : 16;
    wave.nBlockAlign = (WORD)(channels * wave.wBitsPerSample / 8);
    wave.nAvgBytesPerSec = rate * wave.nBlockAlign;
    wave.cbSize = 0;
    if (channels > 2) {
        wave.wFormatTag = WAVE_FORMAT_EXTENSIBLE;
        wave.cbSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);
        format->Samples.wValidBitsPerSample = wave.wBitsPerSample;
        format->dwChannelMask = Masks[channels];
        format->SubFormat = asFloat ? SubFormatFloat : SubFormatPcm;
    }
}

} // namespace

Output *OpenOutput(UINT device, DWORD rate, DWORD channels, bool asFloat, HANDLE done) {
    WAVEFORMATEXTENSIBLE format = {};
    DescribeFormat(rate, channels, asFloat, &format);
    Output *output = new (std::nothrow) Output();
    if (!output)
        return NULL;
    if (device != OUTPUT_SILENT &&
        waveOutOpen(&output->Device, device, &format.Format, (DWORD_PTR)done, 0, CALLBACK_EVENT) !=
            MMSYSERR_NOERROR) {
        delete output;
        return NULL;
    }
    output->Rate = rate;
    output->Channels = channels;
    output->FrameBytes = format.Format.nBlockAlign;
    output->AsFloat = asFloat;
    output->BufferFrames = rate * OUTPUT_BUFFER_MS / 1000 + 1;
    for (OutputBuffer &buffer : output->Buffers) {
        if (!NoThrow(false, [&] {
                buffer.Bytes.resize((size_t)output->BufferFrames * output->FrameBytes);
                return true;
            })) {
            CloseOutput(output);
            return NULL;
        }
        buffer.Header.lpData = (LPSTR)buffer.Bytes.data();
        buffer.Header.dwBufferLength = (DWORD)buffer.Bytes.size();
        if (output->Device)
            waveOutPrepareHeader(output->Device, &buffer.Header, sizeof buffer.Header);
    }
    QueryPerformanceCounter(&output->RunStart);
    StartWatch(output);
    return output;
}

void CloseOutput(Output *output) {
    if (!output)
        return;
    if (output->Device) {
        waveOutReset(output->Device);
        for (OutputBuffer &buffer : output->Buffers)
            waveOutUnprepareHeader(output->Device, &buffer.Header, sizeof buffer.Header);
        waveOutClose(output->Device);
    }
    delete output;
}

// Without a thread the output is left open and its memory kept: better than
// a player that stops answering.
void CloseOutputElsewhere(Output *output) {
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            (LPCWSTR)(void *)CloseOutputThread, &output->Module))
        return;
    HANDLE thread = CreateThread(NULL, 0, CloseOutputThread, output, 0, NULL);
    if (thread)
        CloseHandle(thread);
    else
        FreeLibrary(output->Module);
}

bool OutputLost(Output *output) {
    if (output->Lost)
        return true;
    if (!output->Device || output->Paused || OutputPlayedAll(output)) {
        StartWatch(output);
        return false;
    }
    MMTIME time = {};
    time.wType = TIME_BYTES;
    MMRESULT result = waveOutGetPosition(output->Device, &time, sizeof time);
    // A driver that has gone is lost at once. Any other error proves no
    // stall: such a driver may still play. Only a position that stands still
    // for OUTPUT_STALL_MS marks the output lost.
    if (result == MMSYSERR_NODRIVER)
        output->Lost = true;
    else if (result != MMSYSERR_NOERROR || time.u.cb != output->LastPosition) {
        output->LastPosition = time.u.cb;
        StartWatch(output);
    } else
        output->Lost = GetTickCount() - output->PositionSince >= OUTPUT_STALL_MS;
    return output->Lost;
}

OutputBuffer *IdleBuffer(Output *output) {
    for (OutputBuffer &buffer : output->Buffers)
        if (BufferDone(output, &buffer)) {
            buffer.Queued = false;
            return &buffer;
        }
    return NULL;
}

void QueueBuffer(Output *output, OutputBuffer *buffer, DWORD frames) {
    if (!output->Device && !output->Paused && ClockFrames(output) == output->Written) {
        // The clock ran dry: it starts again from here instead of counting
        // the time it had nothing to play.
        output->PlayedBeforeRun = output->Written;
        QueryPerformanceCounter(&output->RunStart);
    }
    if (OutputPlayedAll(output))
        StartWatch(output);
    output->Written += frames;
    buffer->EndFrame = output->Written;
    buffer->Queued = true;
    buffer->Header.dwBufferLength = frames * output->FrameBytes;
    if (output->Device &&
        waveOutWrite(output->Device, &buffer->Header, sizeof buffer->Header) != MMSYSERR_NOERROR) {
        buffer->Header.dwFlags |= WHDR_DONE; // a refused buffer is not waited for
        output->Lost = true;
    }
}

void QueueSilence(Output *output) {
    OutputBuffer *buffer = IdleBuffer(output);
    if (!buffer)
        return;
    std::fill(buffer->Bytes.begin(), buffer->Bytes.end(), (BYTE)0);
    QueueBuffer(output, buffer, output->BufferFrames);
}

// Buffers finish in the order they were queued, so the later ones do not matter.
bool OutputHasPlayed(Output *output, ULONGLONG frame) {
    for (OutputBuffer &buffer : output->Buffers)
        if (buffer.EndFrame <= frame && !BufferDone(output, &buffer))
            return false;
    return true;
}

bool OutputPlayedAll(Output *output) {
    return OutputHasPlayed(output, output->Written);
}

// The device counts samples in 32 bits; the frames played are the latest
// count that matches it at or below the frames queued. A device that cannot
// say is judged by its finished buffers.
ULONGLONG OutputPlayedFrames(Output *output) {
    if (!output->Device)
        return ClockFrames(output);
    MMTIME time = {};
    time.wType = TIME_SAMPLES;
    if (waveOutGetPosition(output->Device, &time, sizeof time) == MMSYSERR_NOERROR &&
        time.wType == TIME_SAMPLES) {
        DWORD behind = (DWORD)output->Written - time.u.sample;
        if (behind > 0x80000000u) // counted a little ahead of the queue
            return output->Written;
        return behind < output->Written ? output->Written - behind : 0;
    }
    ULONGLONG played = output->Written;
    for (OutputBuffer &buffer : output->Buffers)
        if (!BufferDone(output, &buffer)) {
            ULONGLONG start = buffer.EndFrame - buffer.Header.dwBufferLength / output->FrameBytes;
            played = start < played ? start : played;
        }
    return played;
}

bool OutputMatches(const Output *output, DWORD rate, DWORD channels, bool asFloat) {
    return output->Rate == rate && output->Channels == channels && output->AsFloat == asFloat;
}

void PauseOutput(Output *output) {
    if (output->Paused)
        return;
    if (output->Device)
        waveOutPause(output->Device);
    else
        output->PlayedBeforeRun = ClockFrames(output);
    output->Paused = true;
}

void ResumeOutput(Output *output) {
    if (!output->Paused)
        return;
    output->Paused = false;
    StartWatch(output);
    if (output->Device)
        waveOutRestart(output->Device);
    else
        QueryPerformanceCounter(&output->RunStart);
}

DWORD OutputWaitMs(Output *output) {
    if (output->Paused)
        return INFINITE;
    if (output->Device)
        return OutputPlayedAll(output) ? INFINITE : OUTPUT_WATCH_MS;
    ULONGLONG played = ClockFrames(output);
    ULONGLONG next = 0;
    for (OutputBuffer &buffer : output->Buffers)
        if (buffer.Queued && buffer.EndFrame > played && (!next || buffer.EndFrame < next))
            next = buffer.EndFrame;
    if (!next)
        return INFINITE;
    return (DWORD)((next - played) * 1000 / output->Rate) + 1;
}
