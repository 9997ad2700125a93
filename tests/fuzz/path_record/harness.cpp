// The WM_COPYDATA record a second start sends, as the running player checks
// it: a record that passes reads within its bytes, and building it again from
// its paths gives the same bytes.
#include "player/app/path_record.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "tonquil_heap.h"

static void CheckRebuild(const void *data, DWORD size) {
    const PATH_RECORD_HEADER *header = (const PATH_RECORD_HEADER *)data;
    const BYTE *end = (const BYTE *)data + size;
    WCHAR *texts = (WCHAR *)malloc(size);
    WCHAR *put = texts;
    const WCHAR *path = FirstRecordPath(data);
    for (DWORD i = 0; i < header->Count; ++i, path = NextRecordPath(path)) {
        int length = lstrlenW(path);
        if ((const BYTE *)(path + length + 1) > end)
            abort();
        memcpy(put, path, (length + 1) * sizeof(WCHAR));
        put += length + 1;
    }
    DWORD rebuiltSize = 0;
    void *rebuilt = BuildPathRecord(texts, header->Count, header->Flags, &rebuiltSize);
    if (!rebuilt || rebuiltSize != size || memcmp(rebuilt, data, size) != 0)
        abort();
    HeapRelease(rebuilt);
    free(texts);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The copy is exactly as long as the message's, so any read past its end faults.
    void *record = malloc(size ? size : 1);
    if (!record)
        return 0;
    memcpy(record, data, size);
    if (CheckPathRecord(record, (DWORD)size))
        CheckRebuild(record, (DWORD)size);
    free(record);
    return 0;
}
