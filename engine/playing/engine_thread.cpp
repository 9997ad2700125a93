#include "engine/playing/engine_thread.h"

#include "media/no_throw.h"
#include "engine/streams/output_pool.h"
#include "engine/streams/streams.h"

#include <new>

namespace {

struct Firing {
    SYNCPROC *Proc;
    HSYNC Sync;
    DWORD Channel;
    DWORD User;
};

// After a pass that ran out of memory, the next one comes this much later.
#define SERVICE_RETRY_MS 10

// Takes the stream's end syncs, dropping the one-time ones.
void CollectEndSyncs(Stream *stream, std::vector<Firing> *firings) {
    std::vector<Sync> kept;
    for (const Sync &sync : stream->Syncs) {
        Firing firing = {sync.Proc, sync.Handle, stream->Handle, sync.User};
        firings->push_back(firing);
        if (!(sync.Type & BASS_SYNC_ONETIME))
            kept.push_back(sync);
    }
    stream->Syncs.swap(kept);
}

// Streams that fed a device that has gone stop as a stop would: their end
// syncs do not run, so the player does not go on through its list over a
// device that plays nothing. A later play opens the device anew.
void StopLostStreams() {
    for (Output *lost = FindLostOutput(); lost; lost = FindLostOutput()) {
        std::vector<Stream *> fed;
        for (Stream *stream : Engine.Streams)
            if (stream->Out == lost)
                fed.push_back(stream);
        AbandonOutput(lost);
        for (Stream *stream : fed) {
            stream->Out = NULL;
            StopStream(stream);
        }
    }
}

// One pass over the streams and outputs; gives how long the thread may sleep.
// A stream that drains has its syncs run before it can end, so an auto-free
// one is still there for them.
DWORD Service(std::vector<Firing> *firings) {
    StopLostStreams();
    std::vector<HSTREAM> playing;
    for (Stream *stream : Engine.Streams)
        if (stream->State == BASS_ACTIVE_PLAYING)
            playing.push_back(stream->Handle);
    for (HSTREAM handle : playing) {
        Stream *stream = FindStream(handle);
        if (!stream || stream->State != BASS_ACTIVE_PLAYING)
            continue;
        if (!stream->Drained) {
            // Without memory to decode into, the stream ends as if drained.
            int drained = NoThrow(-1, [&] { return FeedStream(stream) ? 1 : 0; });
            if (drained < 0)
                stream->Drained = true;
            if (drained)
                CollectEndSyncs(stream, firings);
        } else if (StreamHeard(stream)) {
            EndStream(stream);
            if (stream->Flags & BASS_STREAM_AUTOFREE)
                FreeStream(stream);
        }
    }
    return ServiceOutputs();
}

DWORD WINAPI EngineMain(void *parameter) {
    EngineThread *self = (EngineThread *)parameter;
    for (;;) {
        std::vector<Firing> firings;
        DWORD wait;
        {
            std::lock_guard<std::mutex> hold(EngineLock);
            if (self->Quit)
                break;
            wait = NoThrow<DWORD>(SERVICE_RETRY_MS, [&] { return Service(&firings); });
        }
        // The syncs run without the lock, so they may call the engine.
        for (const Firing &firing : firings)
            firing.Proc(firing.Sync, firing.Channel, 0, firing.User);
        if (firings.empty())
            WaitForSingleObject(self->Wake, wait);
    }
    HMODULE module = self->Module;
    bool detached;
    {
        std::lock_guard<std::mutex> hold(EngineLock);
        detached = self->Detached;
    }
    if (detached) {
        CloseHandle(self->Wake);
        CloseHandle(self->Handle);
        delete self;
    }
    FreeLibraryAndExitThread(module, 0);
}

} // namespace

bool StartEngineThread() {
    EngineThread *thread = new (std::nothrow) EngineThread();
    if (!thread)
        return false;
    thread->Wake = CreateEventW(NULL, FALSE, FALSE, NULL);
    if (thread->Wake && GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                           (LPCWSTR)(void *)EngineMain, &thread->Module))
        thread->Handle = CreateThread(NULL, 0, EngineMain, thread, 0, &thread->Id);
    if (!thread->Handle) {
        if (thread->Module)
            FreeLibrary(thread->Module);
        if (thread->Wake)
            CloseHandle(thread->Wake);
        delete thread;
        return false;
    }
    SetThreadPriority(thread->Handle, THREAD_PRIORITY_HIGHEST);
    Engine.Thread = thread;
    return true;
}

EngineThread *StopEngineThread() {
    EngineThread *thread = Engine.Thread;
    Engine.Thread = NULL;
    if (!thread)
        return NULL;
    thread->Quit = true;
    SetEvent(thread->Wake);
    if (thread->Id == GetCurrentThreadId()) {
        thread->Detached = true;
        return NULL;
    }
    return thread;
}

void JoinEngineThread(EngineThread *thread) {
    if (!thread)
        return;
    WaitForSingleObject(thread->Handle, INFINITE);
    CloseHandle(thread->Handle);
    CloseHandle(thread->Wake);
    delete thread;
}
