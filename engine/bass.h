/*
 * The audio library interface Tonquil expects of bass.dll: the subset of the
 * BASS 2.3 calling interface that the player uses. Tonquil's own engine
 * (engine/, built as bass.dll) implements it; so do the test doubles, and a
 * user may drop in the original.
 *
 * Every function is stdcall and exported under its plain name. Handles are
 * 32 bits. Offsets and lengths of BASS_StreamCreateFile are 32-bit in this
 * version; the param of BASS_ChannelSetSync is 64-bit.
 *
 * What Tonquil's engine does with them:
 *   - BASS_Init: device -1 is the default waveOut device, or a silent clock
 *     that plays in real time when the machine has none; 0 is always the
 *     silent clock; n is waveOut device n - 1. freq, flags, win and dsguid are
 *     not used: each stream plays at its own rate. A second call fails.
 *   - Streams read WAV (PCM 8/16/24/32-bit, float), MPEG layers 1-3 through
 *     the system's Audio Compression Manager, Ogg Vorbis, and whatever a
 *     plug-in reads.
 *     BASS_SAMPLE_MONO mixes down, BASS_SAMPLE_FLOAT plays 32-bit floats.
 *   - BASS_ChannelSetAttributes: freq 100..1000000 takes effect when the
 *     stream next starts from stopped; volume and pan within a few buffers.
 *   - BASS_ChannelSetSync takes BASS_SYNC_END, with or without
 *     BASS_SYNC_ONETIME. The sync runs once per end on the engine's thread
 *     when the stream's last frame has been handed to the device, which
 *     still holds up to 100 ms of it (four buffers of 25 ms, the last one
 *     partly filled): that queued tail is the time a caller has to open and
 *     start the next track. BASS_ChannelIsActive says playing until the last
 *     frame has been played, then stopped, and an auto-free stream is freed
 *     then, never before its syncs have run.
 *   - Gapless: a stream started while the tail still plays, at the same rate,
 *     channels and sample type, is queued on the same device right behind
 *     it, so not one frame of silence comes between. A device left with
 *     nothing to play is closed after a second. A stream of another format
 *     waits for the tail to finish and then opens the device anew: the gap
 *     is the device's own start.
 *   - Once its end sync has run, a stream cannot be paused, and
 *     BASS_ChannelStop (or freeing it) leaves the already queued tail to play
 *     out; before that, stopping or freeing cuts the sound at once. Playing it
 *     again starts it from the beginning, behind its own tail.
 *   - BASS_ChannelGetTags(h, BASS_TAG_ID3V2) gives the whole tag up to 1 MB;
 *     a larger one (mostly pictures) is cut there, its header's size saying so.
 *   - Junk between MPEG frames is searched 64 KB far for the next frame; a
 *     longer stretch ends the stream.
 *   - Every call may come from any thread; a sync may call the engine again.
 *     None lets an exception out: a failed allocation fails the call.
 */
#ifndef TONQUIL_BASS_H
#define TONQUIL_BASS_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef DWORD HSTREAM;
typedef DWORD HSYNC;
typedef DWORD HPLUGIN;
typedef unsigned long long QWORD;

typedef void(CALLBACK SYNCPROC)(HSYNC handle, DWORD channel, DWORD data, DWORD user);

#define BASS_SAMPLE_MONO 2
#define BASS_SAMPLE_FLOAT 256
#define BASS_STREAM_AUTOFREE 0x40000
#define BASS_UNICODE 0x80000000u
#define BASS_SYNC_END 2
#define BASS_SYNC_ONETIME 0x80000000u
#define BASS_ACTIVE_STOPPED 0
#define BASS_ACTIVE_PLAYING 1
#define BASS_ACTIVE_STALLED 2
#define BASS_ACTIVE_PAUSED 3
#define BASS_TAG_ID3 0
#define BASS_TAG_ID3V2 1

BOOL WINAPI BASS_Init(int device, DWORD freq, DWORD flags, HWND win, const GUID *dsguid);
BOOL WINAPI BASS_Free(void);
HSTREAM WINAPI BASS_StreamCreateFile(BOOL mem, const void *file, DWORD offset, DWORD length,
                                     DWORD flags);
BOOL WINAPI BASS_ChannelSetAttributes(DWORD handle, int freq, int volume, int pan);
HSYNC WINAPI BASS_ChannelSetSync(DWORD handle, DWORD type, QWORD param, SYNCPROC *proc, DWORD user);
BOOL WINAPI BASS_ChannelRemoveSync(DWORD handle, HSYNC sync);
BOOL WINAPI BASS_ChannelPlay(DWORD handle, BOOL restart);
DWORD WINAPI BASS_ChannelIsActive(DWORD handle);
BOOL WINAPI BASS_ChannelPause(DWORD handle);
BOOL WINAPI BASS_ChannelStop(DWORD handle);
const char *WINAPI BASS_ChannelGetTags(DWORD handle, DWORD tags);
HPLUGIN WINAPI BASS_PluginLoad(const char *file, DWORD flags);
BOOL WINAPI BASS_PluginFree(HPLUGIN handle);

/* The same calls as pointer types, for callers that look them up at run time. */
typedef BOOL(WINAPI *BASS_Init_t)(int, DWORD, DWORD, HWND, const GUID *);
typedef BOOL(WINAPI *BASS_Free_t)(void);
typedef HSTREAM(WINAPI *BASS_StreamCreateFile_t)(BOOL, const void *, DWORD, DWORD, DWORD);
typedef BOOL(WINAPI *BASS_ChannelSetAttributes_t)(DWORD, int, int, int);
typedef HSYNC(WINAPI *BASS_ChannelSetSync_t)(DWORD, DWORD, QWORD, SYNCPROC *, DWORD);
typedef BOOL(WINAPI *BASS_ChannelRemoveSync_t)(DWORD, HSYNC);
typedef BOOL(WINAPI *BASS_ChannelPlay_t)(DWORD, BOOL);
typedef DWORD(WINAPI *BASS_ChannelIsActive_t)(DWORD);
typedef BOOL(WINAPI *BASS_ChannelPause_t)(DWORD);
typedef BOOL(WINAPI *BASS_ChannelStop_t)(DWORD);
typedef const char *(WINAPI *BASS_ChannelGetTags_t)(DWORD, DWORD);
typedef HPLUGIN(WINAPI *BASS_PluginLoad_t)(const char *, DWORD);
typedef BOOL(WINAPI *BASS_PluginFree_t)(HPLUGIN);

/*
 * Decoder plug-ins of Tonquil's engine.
 *
 * A plug-in is a 32-bit DLL that exports one stdcall function under the plain
 * name "TonquilDecoderOpen" (TQDECODEROPEN). BASS_PluginLoad reads the DLL's
 * export table from the file before loading it and refuses every DLL that
 * does not name that function, so no other DLL's start-up code runs.
 *
 * When no built-in decoder (WAV, MPEG layers 1-3, Ogg Vorbis) reads a file, the engine
 * offers it to the loaded plug-ins in the order they were loaded. The plug-in
 * reads what it needs through the source; when it recognises the bytes it
 * fills the decoder and returns TRUE, otherwise it returns FALSE and leaves the
 * decoder untouched. The source stays valid until the decoder's Close has been
 * called. The engine calls Open, Read and Close from one thread at a time, but
 * not always the same thread, and holds its lock meanwhile: they must not call
 * the engine's functions. BASS_PluginFree ends the streams a plug-in decodes
 * before it unloads the DLL.
 *
 * The engine decodes every file through this same interface: its own WAV and
 * MPEG decoders are TQDECODEROPEN functions too.
 */
typedef struct TQSOURCE {
    void *Context;
    DWORD Size; /* bytes in the source */
    /* Copies up to count bytes from offset into buffer; gives how many were
       copied, fewer only at the end of the source or on a read failure. */
    DWORD(CALLBACK *Read)(void *context, DWORD offset, void *buffer, DWORD count);
} TQSOURCE;

typedef struct TQDECODER {
    DWORD Rate;     /* frames per second, above 0 */
    DWORD Channels; /* 1 to 8 samples per frame, interleaved */
    void *State;    /* the decoder's own, handed back to Read and Close */
    /* Writes up to count frames of 32-bit float samples (full scale -1 to 1)
       into frames; gives how many it wrote, 0 only at the end. */
    DWORD(CALLBACK *Read)(void *state, float *frames, DWORD count);
    void(CALLBACK *Close)(void *state);
    /* Version 2 on: the track's artist and title as UTF-8 text, or NULL when
       the file names none; valid until Close. The engine hands them to the
       player as an ID3v2 tag when the file has no ID3v2 tag of its own. */
    const char *Artist;
    const char *Title;
} TQDECODER;

typedef BOOL(CALLBACK *TQDECODEROPEN)(const TQSOURCE *source, TQDECODER *decoder);
#define TQ_DECODER_OPEN_EXPORT "TonquilDecoderOpen"

/*
 * Version 2 of the plug-in interface. A plug-in that also exports
 * "TonquilDecoderOpen2" is opened through it instead, with the number of
 * bytes of the TQDECODER that the engine passes; the plug-in fills only the
 * fields that lie within them. A plug-in keeps exporting TonquilDecoderOpen
 * so that an engine of version 1 still loads it, and a version 1 plug-in
 * (without TonquilDecoderOpen2) loads in this engine with no artist or title.
 */
typedef BOOL(CALLBACK *TQDECODEROPEN2)(const TQSOURCE *source, TQDECODER *decoder,
                                       DWORD decoderSize);
#define TQ_DECODER_OPEN2_EXPORT "TonquilDecoderOpen2"
#define TQ_DECODER_SIZE_V1 ((DWORD)offsetof(TQDECODER, Artist))

#ifdef __cplusplus
}
#endif

#endif
