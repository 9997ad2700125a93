// Decoder plug-ins: DLLs that export TonquilDecoderOpen. A plug-in's DLL
// stays mapped while a stream it decodes, or an open that may try it, is
// alive, even once it is freed. The caller holds EngineLock.
#ifndef TONQUIL_ENGINE_PLUGINS_PLUGINS_H
#define TONQUIL_ENGINE_PLUGINS_PLUGINS_H

#include "engine/records/engine_state.h"

#include <vector>

// 0 unless the file is a plug-in; a plug-in loaded already gives its handle again.
HPLUGIN LoadPlugin(const WCHAR *path);
// The handle is refused from now on and the plug-in opens nothing new; its
// DLL is unloaded at once, or when the last stream it decodes is freed.
bool FreePlugin(HPLUGIN handle);
// A stream the plug-in decodes comes and goes (its decoder closed already
// when it goes, so that no code of the DLL is left to run).
void HoldPlugin(HPLUGIN handle);
void ReleasePlugin(HPLUGIN handle);
// The plug-ins an open may try once the lock is let go, each held so that
// BASS_PluginFree cannot unload its DLL meanwhile.
std::vector<Plugin> HoldOpeners();
// Lets go of every opener's hold but that of kept, whose hold passes to the
// stream it opened (0 when none did).
void ReleaseOpeners(const std::vector<Plugin> &openers, HPLUGIN kept);

#endif
