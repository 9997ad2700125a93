#include "decoders/mf_stream.h"

#include <new>

namespace {

// COM requires an object with the interface's table of methods; this one
// only reads, at a position of its own.
struct SourceStream final : IStream {
    LONG References;
    const TQSOURCE *Source;
    ULONGLONG Position;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void **object) override {
        if (id == IID_IUnknown || id == IID_IStream || id == IID_ISequentialStream) {
            *object = static_cast<IStream *>(this);
            AddRef();
            return S_OK;
        }
        *object = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return (ULONG)InterlockedIncrement(&References);
    }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&References);
        if (left == 0)
            delete this;
        return (ULONG)left;
    }
    HRESULT STDMETHODCALLTYPE Read(void *buffer, ULONG count, ULONG *read) override {
        ULONG got = 0;
        if (Position < Source->Size)
            got = Source->Read(Source->Context, (DWORD)Position, buffer, count);
        Position += got;
        if (read)
            *read = got;
        return got == count ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void *, ULONG, ULONG *) override {
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin,
                                   ULARGE_INTEGER *position) override {
        LONGLONG base = origin == STREAM_SEEK_SET   ? 0
                        : origin == STREAM_SEEK_CUR ? (LONGLONG)Position
                        : origin == STREAM_SEEK_END ? (LONGLONG)Source->Size
                                                    : -1;
        if (base < 0 || base + move.QuadPart < 0)
            return STG_E_INVALIDFUNCTION;
        Position = (ULONGLONG)(base + move.QuadPart);
        if (position)
            position->QuadPart = Position;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override {
        return STG_E_ACCESSDENIED;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream *, ULARGE_INTEGER, ULARGE_INTEGER *,
                                     ULARGE_INTEGER *) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Revert() override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
        return STG_E_INVALIDFUNCTION;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG *stat, DWORD) override {
        ZeroMemory(stat, sizeof *stat);
        stat->type = STGTY_STREAM;
        stat->cbSize.QuadPart = Source->Size;
        stat->grfMode = STGM_READ;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clone(IStream **) override {
        return E_NOTIMPL;
    }
};

} // namespace

IStream *NewSourceStream(const TQSOURCE *source) {
    SourceStream *stream = new (std::nothrow) SourceStream();
    if (!stream)
        return NULL;
    stream->References = 1;
    stream->Source = source;
    stream->Position = 0;
    return stream;
}
