// Decoder plug-ins: DLLs that export TonquilDecoderOpen. The caller holds
// EngineLock.
#ifndef TONQUIL_ENGINE_PLUGINS_H
#define TONQUIL_ENGINE_PLUGINS_H

#include "engine/engine_state.h"

// 0 unless the file is a plug-in; a plug-in loaded already gives its handle again.
HPLUGIN LoadPlugin(const WCHAR *path);
// Frees the streams it decodes, then unloads it.
bool FreePlugin(HPLUGIN handle);

#endif
