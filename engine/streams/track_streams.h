// Streams of single tracks of album images, named by a cue reference
// ("album.cue|7", see cue/cue_reference.h): the sheet is read when the track
// opens, so a sheet that changed or vanished since the playlist was loaded
// refuses the track as a missing file would be.
#ifndef TONQUIL_ENGINE_STREAMS_TRACK_STREAMS_H
#define TONQUIL_ENGINE_STREAMS_TRACK_STREAMS_H

#include "engine/records/engine_state.h"

#include <string>
#include <vector>

// 1 when path names a track rather than a file.
bool IsTrackReference(const std::wstring &path);
// Opens the named track's image through the decoders and plug-ins, limited
// to the track; NULL when the sheet, the track or its file cannot be read.
// Without the lock, as OpenStream.
Stream *OpenTrackReference(const std::wstring &reference, DWORD flags,
                           const std::vector<Plugin> &plugins);
#endif
