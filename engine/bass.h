/*
 * Tonquil's engine, built as bass.dll: the audio library interface and the
 * decoder plug-in interface of sdk/, and what this engine does with them:
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
