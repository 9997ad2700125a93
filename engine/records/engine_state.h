// The engine's process-wide records: the streams, the plug-ins and the
// playing thread, all guarded by one lock. Every routine declared here expects
// the caller to hold EngineLock.
#ifndef TONQUIL_ENGINE_RECORDS_ENGINE_STATE_H
#define TONQUIL_ENGINE_RECORDS_ENGINE_STATE_H

#include "engine/bass.h"
#include "engine/decoding/track_window.h"
#include "engine/output/output.h"

#include <mutex>
#include <string>
#include <vector>

struct Sync {
    HSYNC Handle;
    DWORD Type;
    SYNCPROC *Proc;
    DWORD User;
};

struct Stream {
    HSTREAM Handle;
    DWORD Flags;
    TQSOURCE Source;
    TQDECODER Decoder; // Read is NULL when the decoder could not be reopened
    TQDECODEROPEN Opener;
    TQDECODEROPEN2 Opener2; // NULL unless a plug-in of version 2 opened it
    HPLUGIN Plugin;         // 0 for the built-in decoders
    DWORD Channels;         // as played: 1 with BASS_SAMPLE_MONO
    ULONGLONG Next;         // the frame the decoder gives next
    ULONGLONG Length;       // in frames; 0 while unknown
    // Frame HeardFrom was queued as frame HeardAt of the output named by
    // HeardOutput (0 while none is fed), which maps what that output has
    // played back to the stream's frames.
    DWORD HeardOutput;
    ULONGLONG HeardAt;
    ULONGLONG HeardFrom;
    // Stopped with frames decoded ahead of what was heard: the next play
    // goes back to frame Cue first.
    bool Cued;
    ULONGLONG Cue;
    int Volume;
    int Pan;
    DWORD Freq;   // the rate to play at; 0 plays at the decoder's own
    DWORD State;  // BASS_ACTIVE_STOPPED, _PLAYING or _PAUSED
    bool Drained; // the decoder has given its last frame, and it is queued
    bool Ended;   // played to the end
    // The output the stream feeds: NULL when stopped, once drained, and while
    // it waits for another format's tail to play before the device reopens.
    Output *Out;
    // Once drained and still playing: the output's serial and the frame count
    // at which the stream's own last frame has been played.
    DWORD TailOutput;
    ULONGLONG TailEnd;
    std::vector<Sync> Syncs;
    std::string Tags[2];
    bool HasTag[2];
    std::vector<float> Scratch;
    // A track of an album image: its bounds, and the image's path, by which
    // the next track of the same image finds this one's decoder.
    TrackBounds Bounds;
    std::wstring Image;
};

struct Plugin {
    HPLUGIN Handle;
    HMODULE Module;
    TQDECODEROPEN Open;
    TQDECODEROPEN2 Open2; // NULL for a plug-in of version 1
    DWORD Streams;        // streams it decodes: the DLL stays mapped for them
    bool Freed;           // BASS_PluginFree has been called: no new opens
};

struct EngineThread {
    HMODULE Module; // held while the thread runs, so an unload cannot pull its code away
    HANDLE Handle;
    DWORD Id;
    HANDLE Wake; // set by the outputs and by every change the thread must see
    bool Quit;
    bool Detached; // freed from its own thread: it cleans up after itself
};

struct EngineState {
    bool Initialised;
    DWORD Session; // counts BASS_Init calls: an open that outlives its engine is discarded
    UINT Device;   // a waveOut id, WAVE_MAPPER or OUTPUT_SILENT
    EngineThread *Thread;
    std::vector<Stream *> Streams;
    std::vector<Output *> Outputs; // every open one: fed, playing a tail, or idle
    std::vector<Plugin> Plugins;
    DWORD LastHandle;
    DWORD ReplayGain; // BASS_TQ_REPLAYGAIN_OFF, _TRACK or _ALBUM, for every stream
};

extern std::mutex EngineLock;
extern EngineState Engine;

// A new handle for a stream, sync or plug-in: never 0, never given twice.
DWORD NewHandle();
Stream *FindStream(DWORD handle);
void WakeEngine();

#endif
