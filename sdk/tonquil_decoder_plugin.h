/*
 * Decoder plug-ins of Tonquil's engine.
 *
 * A plug-in is a DLL of the engine's machine (32-bit beside the player that
 * ships) that exports one stdcall function under the plain
 * name "TonquilDecoderOpen" (TQDECODEROPEN). BASS_PluginLoad reads the DLL's
 * export table from the file before loading it and refuses every DLL that
 * does not name that function, so no other DLL's start-up code runs.
 *
 * When no built-in decoder (WAV, MPEG layers 1-3, Ogg Vorbis) reads a file, the engine
 * offers it to the loaded plug-ins in the order they were loaded. The plug-in
 * reads what it needs through the source; when it recognises the bytes it
 * fills the decoder and returns TRUE, otherwise it returns FALSE and leaves the
 * decoder untouched. The source stays valid until the decoder's Close has been
 * called. Open runs on whatever thread creates the stream, without the
 * engine's lock, so it may run on several threads at once and at the same
 * time as the Read, Seek and Close calls of other decoders, the plug-in's own
 * included: whatever data a plug-in shares between its decoders must be safe
 * for that. The calls on one decoder come one at a time, but not always from
 * the same thread, and with the engine's lock held: Read, Seek and Close must
 * be quick to return, and no call may call the engine's functions. After
 * BASS_PluginFree the engine opens nothing new through the plug-in (an open
 * begun before may still give a stream), but keeps its DLL loaded, and its
 * decoders working, until the last stream it decodes, and the last open that
 * may try it, is done.
 *
 * The engine decodes every file through this same interface: its own WAV
 * reader and its FFmpeg decoder of MPEG audio and Ogg Vorbis are TQDECODEROPEN
 * functions too.
 */
#ifndef TONQUIL_DECODER_PLUGIN_H
#define TONQUIL_DECODER_PLUGIN_H

#include <stddef.h>
#include <windows.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct TQSOURCE {
    void *Context;
    DWORD Size; /* bytes in the source */
    /* Copies up to count bytes from offset into buffer; gives how many were
       copied, fewer only at the end of the source or on a read failure. */
    DWORD(CALLBACK *Read)(void *context, DWORD offset, void *buffer, DWORD count);
} TQSOURCE;

/* The widest sound the engine plays: it refuses a decoder that states more
   channels or a higher rate. */
#define TQ_MAX_CHANNELS 8
#define TQ_MAX_RATE 1000000

/* The widest ReplayGain values any track needs: gains beyond +-TQ_MAX_GAIN_DB
   and peaks above TQ_MAX_PEAK (full scale 1) are taken as damage, whether a
   tag or a plug-in states them, and ignored. */
#define TQ_MAX_GAIN_DB 64
#define TQ_MAX_PEAK 64

typedef struct TQDECODER {
    DWORD Rate;     /* frames per second, 1 to TQ_MAX_RATE */
    DWORD Channels; /* 1 to TQ_MAX_CHANNELS samples per frame, interleaved */
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
    /* Version 3 on: the track's exact length in frames, from its first frame
       as Read gives it to its last; 0 when the decoder cannot tell. */
    ULONGLONG Length;
    /* Version 3 on: moves so that the next Read gives exactly the frame at
       index frame (0 is the first) and those after it, as reading from the
       start would have given them. FALSE refuses (past the end, or the file
       cannot go there) and leaves the position where it was. NULL when the
       decoder cannot seek. */
    BOOL(CALLBACK *Seek)(void *state, ULONGLONG frame);
    /* Version 3 on: ReplayGain as the file's tags state it. Gains in dB at
       ReplayGain's reference loudness (a decoder converts other references,
       such as Opus R128 gains, before it fills them); peaks as linear sample
       values, 1.0 being full scale. GainFlags says which of the four the tags
       held, by the TQ_GAIN_ bits; the others are 0. */
    DWORD GainFlags;
    float TrackGain;
    float TrackPeak;
    float AlbumGain;
    float AlbumPeak;
} TQDECODER;

#define TQ_GAIN_TRACK 1
#define TQ_PEAK_TRACK 2
#define TQ_GAIN_ALBUM 4
#define TQ_PEAK_ALBUM 8

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
#define TQ_DECODER_SIZE_V2 ((DWORD)offsetof(TQDECODER, Length))
/* A plug-in of version 3 exports the same two functions as one of version 2
   and fills the fields of version 3 when decoderSize holds them. */

#ifdef __cplusplus
}
#endif

#endif
