// tonquil_media.dll, which holds Tonquil's FFmpeg decoders for the engine
// and the decoder plug-in alike. Its one export opens a decoder of the
// decoder plug-in interface (sdk/tonquil_decoder_plugin.h) for the kinds of
// one side; the decoder's callbacks run inside tonquil_media.dll, which
// therefore stays loaded while any decoder it opened is open.
#ifndef TONQUIL_MEDIA_MEDIA_LIBRARY_H
#define TONQUIL_MEDIA_MEDIA_LIBRARY_H

#include <windows.h>

#include "formats/file_formats.h"
#include "tonquil_decoder_plugin.h"

#define MEDIA_LIBRARY_FILE L"tonquil_media.dll"
#define MEDIA_LIBRARY_OPEN_EXPORT "TonquilMediaOpen"

// side is a MediaSide. Fills the fields of decoder
// that lie within its first decoderSize bytes when source holds a kind of
// that side; FALSE, with decoder untouched, otherwise.
typedef BOOL(CALLBACK *MEDIALIBRARYOPEN)(const TQSOURCE *source, DWORD side, TQDECODER *decoder,
                                         DWORD decoderSize);

#ifdef __cplusplus
extern "C"
#endif
    BOOL CALLBACK
    TonquilMediaOpen(const TQSOURCE *source, DWORD side, TQDECODER *decoder, DWORD decoderSize);

#endif
