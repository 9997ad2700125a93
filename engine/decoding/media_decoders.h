// The engine's own decoder for MPEG audio layers 1-3, Ogg Vorbis and the WAV
// files that the RIFF reader refuses, through the FFmpeg decoders of
// tonquil_media.dll beside the engine: it opens only those kinds, whatever
// the file is called, and leaves every other kind to the decoder plug-ins.
// Without that DLL it opens nothing.
#ifndef TONQUIL_ENGINE_DECODING_MEDIA_DECODERS_H
#define TONQUIL_ENGINE_DECODING_MEDIA_DECODERS_H

#include "engine/bass.h"

BOOL CALLBACK OpenEngineMediaDecoder(const TQSOURCE *source, TQDECODER *decoder);

#endif
