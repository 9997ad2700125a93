// The engine's own thread: it keeps every playing stream's output a few
// buffers ahead, notices the ends and calls the end syncs.
#ifndef TONQUIL_ENGINE_PLAYING_ENGINE_THREAD_H
#define TONQUIL_ENGINE_PLAYING_ENGINE_THREAD_H

#include "engine/records/engine_state.h"

// Both with EngineLock held.
bool StartEngineThread();
// Tells the thread to end and gives it back to be waited for, or NULL when
// the caller is that thread itself (it then ends by itself after its call).
EngineThread *StopEngineThread();

// Without the lock: waits for a thread StopEngineThread gave and frees it.
void JoinEngineThread(EngineThread *thread);

#endif
