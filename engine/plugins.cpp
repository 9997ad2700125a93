#include "engine/plugins.h"

#include "engine/no_throw.h"
#include "engine/pe_exports.h"
#include "engine/streams.h"

HPLUGIN LoadPlugin(const WCHAR *path) {
    // Judged from the file first: a DLL that is no plug-in is never loaded.
    if (!path || !DllExportsName(path, TQ_DECODER_OPEN_EXPORT))
        return 0;
    HMODULE module = LoadLibraryW(path);
    if (!module)
        return 0;
    for (const Plugin &plugin : Engine.Plugins)
        if (plugin.Module == module) {
            FreeLibrary(module);
            return plugin.Handle;
        }
    TQDECODEROPEN open = (TQDECODEROPEN)(void *)GetProcAddress(module, TQ_DECODER_OPEN_EXPORT);
    if (!open) {
        FreeLibrary(module);
        return 0;
    }
    TQDECODEROPEN2 open2 = (TQDECODEROPEN2)(void *)GetProcAddress(module, TQ_DECODER_OPEN2_EXPORT);
    Plugin plugin = {NewHandle(), module, open, open2};
    if (!NoThrow(false, [&] {
            Engine.Plugins.push_back(plugin);
            return true;
        })) {
        FreeLibrary(module);
        return 0;
    }
    return plugin.Handle;
}

bool FreePlugin(HPLUGIN handle) {
    for (size_t i = 0; i < Engine.Plugins.size(); ++i) {
        if (Engine.Plugins[i].Handle != handle)
            continue;
        for (size_t s = Engine.Streams.size(); s-- > 0;)
            if (Engine.Streams[s]->Plugin == handle)
                FreeStream(Engine.Streams[s]);
        FreeLibrary(Engine.Plugins[i].Module);
        Engine.Plugins.erase(Engine.Plugins.begin() + i);
        return true;
    }
    return false;
}
