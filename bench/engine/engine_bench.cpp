// Prints how fast the engine decodes WAV and MP3 (times real time), the CPU
// time the process uses while a minute of MP3 plays, what refusing hundreds
// of DLLs that are no plug-ins costs, and how long a call waits while
// another thread opens streams.
//   scripts/wine-run.sh --prefix build/wineprefix build/bench/engine_bench.exe [--quick]
// --quick plays 10 seconds instead of the minute.
#include "bench/bench_support.h"
#include "engine/bass.h"
#include "engine/decoding/media_decoders.h"
#include "media/source.h"
#include "engine/decoding/wav_decoder.h"

#include <atomic>
#include <mmsystem.h>
#include <stdio.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// Decodes the whole file the given number of times; prints the speed.
void DecodeSpeed(const char *label, TQDECODEROPEN open, const std::wstring &path, int rounds) {
    double audio = 0, spent = 0;
    for (int round = 0; round < rounds; ++round) {
        TQSOURCE source;
        TQDECODER decoder;
        if (!OpenFileSource(path.c_str(), 0, 0, &source) || !open(&source, &decoder)) {
            printf("%-5s cannot open %ls\n", label, path.c_str());
            return;
        }
        std::vector<float> block(4096 * decoder.Channels);
        LARGE_INTEGER start, stop;
        QueryPerformanceCounter(&start);
        unsigned long long frames = 0;
        for (DWORD got; (got = decoder.Read(decoder.State, block.data(), 4096)) > 0;)
            frames += got;
        QueryPerformanceCounter(&stop);
        audio += (double)frames / decoder.Rate;
        spent += Seconds(start, stop);
        decoder.Close(decoder.State);
        CloseSource(&source);
    }
    printf("%-5s decode: %.1f s of sound in %.3f s = %.0fx real time\n", label, audio, spent,
           audio / spent);
}

HANDLE Ended;

void CALLBACK SignalEnd(HSYNC, DWORD, DWORD, DWORD) {
    SetEvent(Ended);
}

// Plays the file to its end (or for limit seconds) and prints the process's CPU
// time meanwhile. A device that runs faster than real time (ALSA's null sink)
// plays the minute sooner; the CPU per minute of sound is the figure to compare.
void PlayingCpu(const std::wstring &path, DWORD limit) {
    int device = waveOutGetNumDevs() ? -1 : 0;
    if (!BASS_Init(device, 44100, 0, NULL, NULL))
        return;
    Ended = CreateEventW(NULL, TRUE, FALSE, NULL);
    HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_UNICODE);
    BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, SignalEnd, 0);
    double cpuBefore = ProcessCpuSeconds();
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    BASS_ChannelPlay(stream, FALSE);
    bool ended = WaitForSingleObject(Ended, limit * 1000) == WAIT_OBJECT_0;
    QueryPerformanceCounter(&stop);
    double cpu = ProcessCpuSeconds() - cpuBefore;
    double wall = Seconds(start, stop);
    double sound = ended ? 60.0 : wall;
    printf("MP3 playing through the %s: %.1f s of sound in %.1f s took %.2f s of CPU "
           "(%.2f s per minute of sound, %.2f%% of one core)\n",
           device ? "waveOut device" : "silent clock", sound, wall, cpu, cpu * 60 / sound,
           100 * cpu / wall);
    BASS_Free();
    CloseHandle(Ended);
}

// Copies the engine's DLL count times and offers each copy as a plug-in.
void RefusalCost(int count) {
    std::wstring engine = BenchFolder() + L"..\\bin\\bass.dll";
    std::wstring folder = BenchFolder() + L"engine-bench-dlls\\";
    CreateDirectoryW(folder.c_str(), NULL);
    std::vector<std::wstring> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(folder + L"not-a-plugin-" + std::to_wstring(i) + L".dll");
        CopyFileW(engine.c_str(), paths.back().c_str(), FALSE);
    }
    BASS_Init(0, 44100, 0, NULL, NULL);
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    int accepted = 0;
    for (const std::wstring &path : paths)
        accepted += BASS_PluginLoad((const char *)path.c_str(), BASS_UNICODE) != 0;
    QueryPerformanceCounter(&stop);
    BASS_Free();
    printf("PluginLoad: %d DLLs without the entry point refused in %.1f ms (%.3f ms each, %d "
           "taken)\n",
           count, Seconds(start, stop) * 1000, Seconds(start, stop) * 1000 / count, accepted);
    for (const std::wstring &path : paths)
        DeleteFileW(path.c_str());
    RemoveDirectoryW(folder.c_str());
}

// Opens the file count times on another thread, as the window reads its
// titles, while the WAV minute plays; prints the longest BASS_ChannelGetPosition
// meanwhile.
void WaitDuringOpens(const std::wstring &playing, const std::wstring &opened, int count) {
    BASS_Init(0, 44100, 0, NULL, NULL);
    HSTREAM stream = BASS_StreamCreateFile(FALSE, playing.c_str(), 0, 0, BASS_UNICODE);
    BASS_ChannelPlay(stream, FALSE);
    std::atomic<bool> done(false);
    double openSeconds = 0;
    std::thread opener([&] {
        double start = NowSeconds();
        for (int i = 0; i < count; ++i)
            BASS_ChannelStop(BASS_StreamCreateFile(FALSE, opened.c_str(), 0, 0,
                                                   BASS_UNICODE | BASS_STREAM_AUTOFREE));
        openSeconds = NowSeconds() - start;
        done = true;
    });
    double longest = 0;
    while (!done) {
        double start = NowSeconds();
        BASS_ChannelGetPosition(stream);
        double took = NowSeconds() - start;
        longest = took > longest ? took : longest;
        Sleep(1);
    }
    opener.join();
    BASS_Free();
    printf("Opens: %d opens of the MP3 minute took %.1f ms each; the longest "
           "BASS_ChannelGetPosition meanwhile took %.2f ms\n",
           count, openSeconds * 1000 / count, longest * 1000);
}

} // namespace

int main(int argc, char **argv) {
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    std::wstring folder = BenchFolder();
    DecodeSpeed("WAV", OpenWavDecoder, folder + L"engine-minute.wav", 5);
    DecodeSpeed("MP3", OpenEngineMediaDecoder, folder + L"engine-minute.mp3", 2);
    RefusalCost(300);
    WaitDuringOpens(folder + L"engine-minute.wav", folder + L"engine-minute.mp3", 20);
    PlayingCpu(folder + L"engine-minute.mp3", quick ? 10 : 75);
    return 0;
}
