// Decoder plug-ins: DLLs that export TonquilDecoderOpen. A plug-in's DLL
// stays mapped while a stream it decodes is alive, even once it is freed.
// The caller holds EngineLock.
#ifndef TONQUIL_ENGINE_PLUGINS_PLUGINS_H
#define TONQUIL_ENGINE_PLUGINS_PLUGINS_H

#include "engine/api/engine_state.h"

// 0 unless the file is a plug-in; a plug-in loaded already gives its handle again.
HPLUGIN LoadPlugin(const WCHAR *path);
// The handle is refused from now on and the plug-in opens nothing new; its
// DLL is unloaded at once, or when the last stream it decodes is freed.
bool FreePlugin(HPLUGIN handle);
// A stream the plug-in decodes comes and goes (its decoder closed already
// when it goes, so that no code of the DLL is left to run).
void HoldPlugin(HPLUGIN handle);
void ReleasePlugin(HPLUGIN handle);

#endif
