/*
 * The audio library interface Tonquil expects of bass.dll: the subset of the
 * BASS 2.3 calling interface that the player uses. Tonquil's own engine
 * (engine/, built as bass.dll) implements it; so do the test doubles, and a
 * user may drop in the original.
 *
 * Every function is stdcall and exported under its plain name. Handles are
 * 32 bits. Offsets and lengths of BASS_StreamCreateFile are 32-bit in this
 * version; the param of BASS_ChannelSetSync is 64-bit. The library is built
 * for the player's machine: 32-bit for the player that ships.
 */
#ifndef TONQUIL_AUDIO_LIBRARY_H
#define TONQUIL_AUDIO_LIBRARY_H

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
/* A stream that is read and never played, so the library gives it no output:
 * the window module reads tags and lengths so. */
#define BASS_STREAM_DECODE 0x200000
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

/* Position calls of the same interface version: no mode argument, positions
   in bytes of the decoded output as the stream plays it (its channels after
   BASS_SAMPLE_MONO, 2 bytes a sample, or 4 with BASS_SAMPLE_FLOAT).
   GetLength and GetPosition give (QWORD)-1 on error. */
QWORD WINAPI BASS_ChannelGetLength(DWORD handle);
QWORD WINAPI BASS_ChannelGetPosition(DWORD handle);
BOOL WINAPI BASS_ChannelSetPosition(DWORD handle, QWORD pos);
float WINAPI BASS_ChannelBytes2Seconds(DWORD handle, QWORD pos);
QWORD WINAPI BASS_ChannelSeconds2Bytes(DWORD handle, float pos);

/* A configuration call; the original library knows other options and
   refuses this one, which is Tonquil's own: the ReplayGain mode that the
   engine applies to every stream, BASS_TQ_REPLAYGAIN_OFF, _TRACK or _ALBUM
   (album falls back to the track's values where a file has no album's). */
BOOL WINAPI BASS_SetConfig(DWORD option, DWORD value);
#define BASS_CONFIG_TQ_REPLAYGAIN 0x54510001u
#define BASS_TQ_REPLAYGAIN_OFF 0
#define BASS_TQ_REPLAYGAIN_TRACK 1
#define BASS_TQ_REPLAYGAIN_ALBUM 2

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
typedef QWORD(WINAPI *BASS_ChannelGetLength_t)(DWORD);
typedef QWORD(WINAPI *BASS_ChannelGetPosition_t)(DWORD);
typedef BOOL(WINAPI *BASS_ChannelSetPosition_t)(DWORD, QWORD);
typedef float(WINAPI *BASS_ChannelBytes2Seconds_t)(DWORD, QWORD);
typedef QWORD(WINAPI *BASS_ChannelSeconds2Bytes_t)(DWORD, float);
typedef BOOL(WINAPI *BASS_SetConfig_t)(DWORD, DWORD);

#ifdef __cplusplus
}
#endif

#endif
