#include "engine/plugins/plugins.h"

#include "media/no_throw.h"
#include "engine/plugins/pe_exports.h"

namespace {

// Freed records stay listed until their DLL is unloaded, so the handles of
// their streams still name them.
Plugin *FindPlugin(HPLUGIN handle) {
    for (Plugin &plugin : Engine.Plugins)
        if (plugin.Handle == handle)
            return &plugin;
    return NULL;
}

bool IsFullPath(const WCHAR *path) {
    return (path[0] && path[1] == L':' && path[2] == L'\\') ||
           (path[0] == L'\\' && path[1] == L'\\');
}

void UnloadIfUnused(Plugin *plugin) {
    if (!plugin->Freed || plugin->Streams)
        return;
    FreeLibrary(plugin->Module);
    Engine.Plugins.erase(Engine.Plugins.begin() + (plugin - Engine.Plugins.data()));
}

} // namespace

HPLUGIN LoadPlugin(const WCHAR *path) {
    // Judged from the file first: a DLL that is no plug-in is never loaded.
    if (!path || !DllExportsName(path, TQ_DECODER_OPEN_EXPORT))
        return 0;
    // A plug-in's own DLLs are looked for beside it first: Tonquil's imports
    // tonquil_media.dll from its folder. The flag takes full paths only.
    HMODULE module =
        LoadLibraryExW(path, NULL, IsFullPath(path) ? LOAD_WITH_ALTERED_SEARCH_PATH : 0);
    if (!module)
        return 0;
    for (const Plugin &plugin : Engine.Plugins)
        if (plugin.Module == module && !plugin.Freed) {
            FreeLibrary(module);
            return plugin.Handle;
        }
    TQDECODEROPEN open = (TQDECODEROPEN)(void *)GetProcAddress(module, TQ_DECODER_OPEN_EXPORT);
    if (!open) {
        FreeLibrary(module);
        return 0;
    }
    TQDECODEROPEN2 open2 = (TQDECODEROPEN2)(void *)GetProcAddress(module, TQ_DECODER_OPEN2_EXPORT);
    Plugin plugin = {NewHandle(), module, open, open2, 0, false};
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
    Plugin *plugin = FindPlugin(handle);
    if (!plugin || plugin->Freed)
        return false;
    plugin->Freed = true;
    UnloadIfUnused(plugin);
    return true;
}

void HoldPlugin(HPLUGIN handle) {
    Plugin *plugin = FindPlugin(handle);
    if (plugin)
        ++plugin->Streams;
}

void ReleasePlugin(HPLUGIN handle) {
    Plugin *plugin = FindPlugin(handle);
    if (!plugin || !plugin->Streams)
        return;
    --plugin->Streams;
    UnloadIfUnused(plugin);
}

std::vector<Plugin> HoldOpeners() {
    std::vector<Plugin> openers;
    for (const Plugin &plugin : Engine.Plugins)
        if (!plugin.Freed)
            openers.push_back(plugin);
    // Held only once every record is copied: a failed copy leaves none held.
    for (const Plugin &opener : openers)
        HoldPlugin(opener.Handle);
    return openers;
}

void ReleaseOpeners(const std::vector<Plugin> &openers, HPLUGIN kept) {
    for (const Plugin &opener : openers)
        if (opener.Handle != kept)
            ReleasePlugin(opener.Handle);
}
