#include "engine/records/engine_state.h"

std::mutex EngineLock;
EngineState Engine;

DWORD NewHandle() {
    if (++Engine.LastHandle == 0)
        ++Engine.LastHandle;
    return Engine.LastHandle;
}

Stream *FindStream(DWORD handle) {
    for (Stream *stream : Engine.Streams)
        if (stream->Handle == handle)
            return stream;
    return NULL;
}

void WakeEngine() {
    if (Engine.Thread)
        SetEvent(Engine.Thread->Wake);
}
