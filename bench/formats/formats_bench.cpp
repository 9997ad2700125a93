// Prints, for each kind the engine decodes through FFmpeg (MP3, MP2, Ogg
// Vorbis) and each kind of the decoder plug-in:
// how fast it decodes (times real time), the CPU time the process uses while
// a minute of it plays, and the most memory the process commits while an
// hour of it decodes (when make-sound.sh --hour has made the hours).
//   scripts/wine-run.sh --prefix build/wineprefix build/bench/formats_bench.exe [--quick]
// --quick plays 10 seconds of each instead of the minute.
#include "bench/bench_support.h"
#include "engine/bass.h"
#include "media/source.h"
#include "engine/decoding/media_decoders.h"

#include <mmsystem.h>
#include <psapi.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

struct Format {
    const char *Extension;
    bool ThroughPlugin;
};
const Format Formats[] = {{"mp3", false}, {"mp2", false}, {"ogg", false}, {"opus", true},
                          {"flac", true}, {"tta", true},  {"ape", true},  {"m4a", true},
                          {"mp4", true},  {"aac", true},  {"wma", true}};

TQDECODEROPEN2 PluginOpen;
double OpenSeconds; // the last open's, which counts the packets where no header states the length

std::wstring SoundPath(const char *length, const Format &format) {
    std::string name = std::string("formats-") + length + "." + format.Extension;
    return BenchFolder() + std::wstring(name.begin(), name.end());
}

SIZE_T CommittedBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

bool OpenDecoder(const Format &format, const TQSOURCE *source, TQDECODER *decoder) {
    *decoder = TQDECODER();
    if (format.ThroughPlugin)
        return PluginOpen && PluginOpen(source, decoder, sizeof *decoder);
    return OpenEngineMediaDecoder(source, decoder) != FALSE;
}

// Decodes the whole file; gives the seconds of sound, the seconds spent, the
// CPU seconds the process used (on a shared machine the steadier figure) and
// the most memory committed meanwhile above what was committed before
// (looked at after every block when peak is not NULL: each look costs a call
// into Wine's server, so speeds are measured without).
bool DecodeWhole(const Format &format, const std::wstring &path, double *sound, double *spent,
                 double *cpu, SIZE_T *peak) {
    SIZE_T before = CommittedBytes();
    TQSOURCE source;
    TQDECODER decoder;
    if (!OpenFileSource(path.c_str(), 0, 0, &source))
        return false;
    LARGE_INTEGER opening, opened;
    QueryPerformanceCounter(&opening);
    if (!OpenDecoder(format, &source, &decoder)) {
        CloseSource(&source);
        return false;
    }
    QueryPerformanceCounter(&opened);
    OpenSeconds = Seconds(opening, opened);
    std::vector<float> block(4096 * decoder.Channels);
    LARGE_INTEGER start, stop;
    double cpuBefore = ProcessCpuSeconds();
    QueryPerformanceCounter(&start);
    unsigned long long frames = 0;
    SIZE_T most = 0;
    for (DWORD got; (got = decoder.Read(decoder.State, block.data(), 4096)) > 0;) {
        frames += got;
        SIZE_T now = peak ? CommittedBytes() : 0;
        most = now > most ? now : most;
    }
    QueryPerformanceCounter(&stop);
    *cpu = ProcessCpuSeconds() - cpuBefore;
    *sound = (double)frames / decoder.Rate;
    *spent = Seconds(start, stop);
    if (peak)
        *peak = most > before ? most - before : 0;
    decoder.Close(decoder.State);
    CloseSource(&source);
    return true;
}

// The minute decoded five times over: the fastest run, and the sound per
// CPU second over all five.
void DecodeSpeed(const Format &format) {
    double sound, spent, cpu, fastest = 1e9, sounds = 0, cpus = 0;
    for (int round = 0; round < 5; ++round) {
        if (!DecodeWhole(format, SoundPath("minute", format), &sound, &spent, &cpu, NULL)) {
            printf("%-4s decode: cannot open\n", format.Extension);
            return;
        }
        fastest = spent < fastest ? spent : fastest;
        sounds += sound;
        cpus += cpu;
    }
    printf("%-4s decode: %.1f s of sound in %.3f s = %.0fx real time (%.0fx per CPU second)\n",
           format.Extension, sound, fastest, sound / fastest, cpus > 0 ? sounds / cpus : 0.0);
}

void HourMemory(const Format &format) {
    double sound, spent, cpu;
    SIZE_T peak;
    if (!DecodeWhole(format, SoundPath("hour", format), &sound, &spent, &cpu, &peak)) {
        printf("%-4s hour: not made (bench/formats/make-sound.sh build/bench --hour)\n",
               format.Extension);
        return;
    }
    printf("%-4s hour: opened in %.3f s, %.0f s of sound decoded in %.1f s; at most %.2f MB more "
           "committed\n",
           format.Extension, OpenSeconds, sound, spent, peak / 1048576.0);
}

HANDLE Ended;

void CALLBACK SignalEnd(HSYNC, DWORD, DWORD, DWORD) {
    SetEvent(Ended);
}

// Plays the file through the engine to its end (or for limit seconds) and
// prints the process's CPU time meanwhile.
void PlayingCpu(const Format &format, DWORD limit) {
    int device = waveOutGetNumDevs() ? -1 : 0;
    if (!BASS_Init(device, 44100, 0, NULL, NULL))
        return;
    std::wstring plugin = BenchFolder() + L"..\\bin\\bass_formats.dll";
    BASS_PluginLoad((const char *)plugin.c_str(), BASS_UNICODE);
    Ended = CreateEventW(NULL, TRUE, FALSE, NULL);
    std::wstring path = SoundPath("minute", format);
    HSTREAM stream = BASS_StreamCreateFile(FALSE, path.c_str(), 0, 0, BASS_UNICODE);
    BASS_ChannelSetSync(stream, BASS_SYNC_END | BASS_SYNC_ONETIME, 0, SignalEnd, 0);
    double cpuBefore = ProcessCpuSeconds();
    LARGE_INTEGER start, stop;
    QueryPerformanceCounter(&start);
    bool playing = BASS_ChannelPlay(stream, FALSE) != FALSE;
    bool ended = playing && WaitForSingleObject(Ended, limit * 1000) == WAIT_OBJECT_0;
    QueryPerformanceCounter(&stop);
    double cpu = ProcessCpuSeconds() - cpuBefore;
    double wall = Seconds(start, stop);
    double sound = ended ? 60.0 : wall;
    if (playing)
        printf("%-4s playing through the %s: %.1f s of sound in %.1f s took %.2f s of CPU "
               "(%.2f s per minute of sound, %.2f%% of one core)\n",
               format.Extension, device ? "waveOut device" : "silent clock", sound, wall, cpu,
               cpu * 60 / sound, 100 * cpu / wall);
    else
        printf("%-4s playing: cannot open\n", format.Extension);
    BASS_Free();
    CloseHandle(Ended);
}

} // namespace

int main(int argc, char **argv) {
    bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    HMODULE plugin = LoadLibraryExW((BenchFolder() + L"..\\bin\\bass_formats.dll").c_str(), NULL,
                                    LOAD_WITH_ALTERED_SEARCH_PATH);
    PluginOpen =
        plugin ? (TQDECODEROPEN2)(void *)GetProcAddress(plugin, TQ_DECODER_OPEN2_EXPORT) : NULL;
    for (const Format &format : Formats)
        DecodeSpeed(format);
    for (const Format &format : Formats)
        PlayingCpu(format, quick ? 10 : 75);
    for (const Format &format : Formats)
        HourMemory(format);
    return 0;
}
