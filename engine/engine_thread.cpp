#include "engine/engine_thread.h"

#include "engine/no_throw.h"
#include "engine/streams.h"

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

DWORD Sooner(DWORD a, DWORD b) {
    return a < b ? a : b;
}

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

// One pass over the streams; gives how long the thread may sleep.
DWORD Service(std::vector<Firing> *firings, std::vector<HSTREAM> *ended) {
    DWORD wait = INFINITE;
    for (Stream *stream : Engine.Streams) {
        if (stream->State != BASS_ACTIVE_PLAYING)
            continue;
        // Without memory to decode into, the stream ends as if drained.
        if (!NoThrow(false, [&] {
                FeedStream(stream);
                return true;
            }))
            stream->Drained = true;
        if (stream->Drained && OutputPlayedAll(stream->Out)) {
            EndStream(stream);
            CollectEndSyncs(stream, firings);
            ended->push_back(stream->Handle);
        } else {
            wait = Sooner(wait, OutputWaitMs(stream->Out));
        }
    }
    DWORD now = GetTickCount();
    for (size_t i = 0; i < Engine.Retiring.size();) {
        DWORD left = Engine.Retiring[i].Deadline - now;
        if ((LONG)left <= 0) {
            CloseOutput(Engine.Retiring[i].Out);
            Engine.Retiring.erase(Engine.Retiring.begin() + i);
        } else {
            wait = Sooner(wait, left);
            ++i;
        }
    }
    return wait;
}

// Auto-free streams go once their syncs have run, unless a sync played them again.
void FreeEnded(const std::vector<HSTREAM> &ended) {
    for (HSTREAM handle : ended) {
        Stream *stream = FindStream(handle);
        if (stream && stream->Ended && (stream->Flags & BASS_STREAM_AUTOFREE))
            FreeStream(stream);
    }
}

DWORD WINAPI EngineMain(void *parameter) {
    EngineThread *self = (EngineThread *)parameter;
    for (;;) {
        std::vector<Firing> firings;
        std::vector<HSTREAM> ended;
        DWORD wait;
        {
            std::lock_guard<std::mutex> hold(EngineLock);
            if (self->Quit)
                break;
            wait = NoThrow<DWORD>(SERVICE_RETRY_MS, [&] { return Service(&firings, &ended); });
        }
        // The syncs run without the lock, so they may call the engine.
        for (const Firing &firing : firings)
            firing.Proc(firing.Sync, firing.Channel, 0, firing.User);
        if (!ended.empty()) {
            std::lock_guard<std::mutex> hold(EngineLock);
            if (!self->Quit)
                FreeEnded(ended);
            continue;
        }
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
