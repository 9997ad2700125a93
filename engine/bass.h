/*
 * Tonquil's engine, built as bass.dll: the audio library interface and the
 * decoder plug-in interface of sdk/, and what this engine does with them:
 *   - BASS_Init: device -1 is the default waveOut device, or a silent clock
 *     that plays in real time when the machine has none; 0 is always the
 *     silent clock; n is waveOut device n - 1. freq, flags, win and dsguid are
 *     not used: each stream plays at its own rate. A second call fails.
 *   - Streams read WAV (PCM 8/16/24/32-bit, float) by the engine's own
 *     reader, MPEG layers 1-3 and Ogg Vorbis through FFmpeg's decoders (by
 *     content, whatever the file's name; other kinds FFmpeg knows, such as
 *     FLAC or Opus, are left to plug-ins), and whatever a plug-in reads;
 *     each with its exact length and seeking.
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
 *   - A frame that fails to decode ends the stream after the last good one;
 *     junk between MPEG frames is skipped as FFmpeg's parser finds the next.
 *   - Positions and lengths are in bytes of the stream as it plays: frames
 *     times its played channels (1 with BASS_SAMPLE_MONO) times 2, or 4 with
 *     BASS_SAMPLE_FLOAT. A byte count inside a frame means that frame.
 *   - BASS_ChannelGetLength: the decoder's exact length; where the decoder
 *     cannot tell (a plug-in before version 3), (QWORD)-1 until the stream
 *     has been decoded to its end, which then tells it. (QWORD)-1 for a
 *     handle that is no stream.
 *   - BASS_ChannelGetPosition: the frame the listener hears now, from what
 *     the device has played of this stream, not from what was decoded ahead.
 *     Queued behind another stream's tail, it stays at its start until that
 *     tail has played. After the end it equals the length; stopped, it is
 *     where the next play starts. (QWORD)-1 for a handle that is no stream.
 *   - BASS_ChannelSetPosition: exact to the sample for every decoder, by the
 *     decoder's own Seek or, without one or when it refuses, by decoding
 *     from the start (or forward from the current frame) up to the frame,
 *     which holds the engine for as long as that takes. Refused (FALSE, the
 *     stream as it was) at or past the end and for a handle that is no
 *     stream. Stopped or not yet played, it sets where the next play starts
 *     (BASS_ChannelPlay with restart FALSE; TRUE starts from 0). Playing, the
 *     queued sound is dropped and the stream goes on from the frame at once
 *     on a device opened anew; this cuts in on a tail it was queued behind,
 *     as a track chosen by hand does. Paused, it stays paused at the frame.
 *     Once the end sync has run, it is refused until the stream has been
 *     heard to its end; stopped after that, it sets where the next play
 *     starts, and the end sync runs again at the next end.
 *   - BASS_ChannelStop, then BASS_ChannelPlay without restart, goes on from
 *     the frame that was heard last: frames decoded ahead are not lost.
 *   - BASS_ChannelBytes2Seconds and BASS_ChannelSeconds2Bytes use the rate
 *     of the file, whatever freq it plays at; seconds become the nearest
 *     whole frame. Bytes2Seconds gives -1 and Seconds2Bytes (QWORD)-1 for a
 *     handle that is no stream, and Seconds2Bytes for negative, NaN or
 *     endless seconds.
 *   - BASS_SetConfig takes only BASS_CONFIG_TQ_REPLAYGAIN with a mode from 0
 *     to 2, with or without BASS_Init, for the whole process (it outlasts
 *     BASS_Free). The mode applies to the streams that play already, within
 *     the 100 ms the device holds. Each stream is scaled by its decoder's
 *     values: album mode takes the album's gain and falls back to the
 *     track's; the factor 10^(gain/20) is held to 1/peak (the album's peak
 *     with the album's gain where it is stated, else the track's), so the
 *     gain itself never clips, and to 1 where no peak is stated. Gains that
 *     are not finite or beyond 60 dB either way, and peaks that are not
 *     finite, not above 0 or above 1000, count as absent. Without a usable
 *     gain, or with the mode off, the sound is bit for bit as without
 *     ReplayGain. The factor multiplies volume and pan, which keep their
 *     meaning.
 *   - BASS_PluginFree refuses the handle and the plug-in's new opens at
 *     once; streams it decodes play on (an end sync's tail included), may
 *     be stopped, moved and played again, and its DLL is unloaded when the
 *     last of them is freed (or BASS_Free frees them). Loading the same DLL
 *     again meanwhile gives a new handle.
 *   - A lost device: when the waveOut device refuses a buffer, or holds sound
 *     and plays none of it for 2 s (an unplugged card; Wine's PulseAudio
 *     driver when the server ends: it never reports a buffer done again),
 *     every stream feeding it stops as BASS_ChannelStop would, without its
 *     end sync, and BASS_ChannelIsActive says stopped (an auto-free stream is
 *     freed). The device is closed on a thread of its own, so no call waits
 *     for a driver that hangs. The next stream to play opens the device
 *     again; while it cannot be opened, streams play on the silent clock, as
 *     when BASS_Init found no device.
 *   - Every call may come from any thread; a sync may call the engine again.
 *     None lets an exception out: a failed allocation fails the call.
 */
#ifndef TONQUIL_BASS_H
#define TONQUIL_BASS_H

#include "tonquil_audio_library.h"
#include "tonquil_decoder_plugin.h"

#endif
