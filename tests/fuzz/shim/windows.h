// The Win32 calls the fuzzed parsers make, for a native Linux build with
// -fshort-wchar. Each behaves as Windows documents it for the arguments these
// callers pass, and no more: blocks are exactly the size asked for, so the
// address sanitizer sees every read past their end. Files live in memory: a
// harness names the bytes a path holds with ShimPutFile.
#ifndef TONQUIL_FUZZ_SHIM_WINDOWS_H
#define TONQUIL_FUZZ_SHIM_WINDOWS_H

#include <limits.h>
#include <malloc.h>
#include <stdarg.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <cwchar>
#include <string>

// glibc's wide routines take 32-bit units; with -fshort-wchar WCHAR is 16
// bits, so the ones the callers use are given here for 16-bit units.
inline size_t ShimWcslen(const wchar_t *text) {
    size_t length = 0;
    while (text[length])
        ++length;
    return length;
}
inline int ShimWcscmp(const wchar_t *a, const wchar_t *b) {
    for (; *a && *a == *b; ++a, ++b) {
    }
    return (int)(unsigned short)*a - (int)(unsigned short)*b;
}
inline wchar_t *ShimWcscpy(wchar_t *to, const wchar_t *from) {
    return (wchar_t *)memcpy(to, from, (ShimWcslen(from) + 1) * sizeof(wchar_t));
}
#define wcslen ShimWcslen
#define wcscmp ShimWcscmp
#define wcscpy ShimWcscpy

static_assert(sizeof(wchar_t) == 2, "build with -fshort-wchar");

#define WINAPI
#define CALLBACK
#define APIENTRY
#define CONST const
#define TRUE 1
#define FALSE 0
#ifndef MAX_PATH
#define MAX_PATH 260
#endif

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int32_t BOOL;
typedef int INT;
typedef unsigned int UINT;
typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef size_t SIZE_T;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef wchar_t WCHAR;
typedef char CHAR;
typedef float FLOAT;
typedef void *HANDLE;
typedef HANDLE HWND, HMODULE, HINSTANCE, HICON, HMENU, HKEY, HGLOBAL;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef void *LPVOID;
typedef const void *LPCVOID;
typedef WCHAR *LPWSTR;
typedef const WCHAR *LPCWSTR;
typedef char *LPSTR;
typedef const char *LPCSTR;
typedef DWORD *LPDWORD;
typedef LRESULT(CALLBACK *WNDPROC)(HWND, UINT, WPARAM, LPARAM);

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    LONGLONG QuadPart;
} LARGE_INTEGER;

typedef struct _OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    DWORD Offset;
    DWORD OffsetHigh;
    HANDLE hEvent;
} OVERLAPPED;

typedef struct _GUID {
    DWORD Data1;
    WORD Data2, Data3;
    BYTE Data4[8];
} GUID;

typedef struct _SECURITY_ATTRIBUTES SECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

#define LOWORD(l) ((WORD)((DWORD_PTR)(l)&0xffff))
#define HIWORD(l) ((WORD)(((DWORD_PTR)(l) >> 16) & 0xffff))
#define CopyMemory(d, s, n) memcpy((d), (s), (n))
#define MoveMemory(d, s, n) memmove((d), (s), (n))
#define ZeroMemory(d, n) memset((d), 0, (n))
#define FillMemory(d, n, v) memset((d), (v), (n))

#define NO_ERROR 0
#define ERROR_FILE_NOT_FOUND 2
#define ERROR_INVALID_HANDLE 6
#define ERROR_NOT_ENOUGH_MEMORY 8
#define ERROR_HANDLE_EOF 38
#define ERROR_INSUFFICIENT_BUFFER 122
#define ERROR_NO_UNICODE_TRANSLATION 1113

inline DWORD &ShimLastError() {
    static DWORD error;
    return error;
}
inline DWORD GetLastError() {
    return ShimLastError();
}
inline void SetLastError(DWORD error) {
    ShimLastError() = error;
}

// Heap: malloc of exactly the size asked.
#define HEAP_ZERO_MEMORY 0x00000008
inline HANDLE GetProcessHeap() {
    return (HANDLE)1;
}
inline void *HeapAlloc(HANDLE, DWORD flags, SIZE_T bytes) {
    void *block = malloc(bytes ? bytes : 1);
    if (block && (flags & HEAP_ZERO_MEMORY))
        memset(block, 0, bytes);
    return block;
}
inline void *HeapReAlloc(HANDLE, DWORD flags, void *block, SIZE_T bytes) {
    // The sanitizer gives the size asked for, not what the allocator rounded to.
    size_t old = malloc_usable_size(block);
    void *moved = realloc(block, bytes ? bytes : 1);
    if (moved && (flags & HEAP_ZERO_MEMORY) && bytes > old)
        memset((char *)moved + old, 0, bytes - old);
    return moved;
}
inline BOOL HeapFree(HANDLE, DWORD, void *block) {
    free(block);
    return TRUE;
}

// Texts.
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 0x00000008

inline int lstrlenW(const WCHAR *text) {
    return text ? (int)wcslen(text) : 0;
}
// Copies at most max - 1 characters and always ends the copy, as Windows does.
inline WCHAR *lstrcpynW(WCHAR *to, const WCHAR *from, int max) {
    if (max <= 0)
        return to;
    int i = 0;
    for (; i < max - 1 && from[i]; ++i)
        to[i] = from[i];
    to[i] = 0;
    return to;
}
inline WCHAR *lstrcpyW(WCHAR *to, const WCHAR *from) { return wcscpy(to, from); }
inline int lstrcmpW(const WCHAR *a, const WCHAR *b) {
    return wcscmp(a, b);
}
// Case is folded for ASCII letters only, which is all the parsers compare
// without regard to case (device and extension names).
inline int lstrcmpiW(const WCHAR *a, const WCHAR *b) {
    for (;; ++a, ++b) {
        WCHAR x = *a >= L'a' && *a <= L'z' ? (WCHAR)(*a - 32) : *a;
        WCHAR y = *b >= L'a' && *b <= L'z' ? (WCHAR)(*b - 32) : *b;
        if (x != y || !x)
            return x < y ? -1 : x > y;
    }
}
inline WCHAR *lstrcatW(WCHAR *to, const WCHAR *from) {
    wcscpy(to + wcslen(to), from);
    return to;
}
inline WCHAR *CharNextW(const WCHAR *c) {
    return (WCHAR *)(*c ? c + 1 : c);
}

// One UTF-8 sequence at bytes[0..left): its code point, or -1 when it is
// invalid (overlong, a surrogate, beyond U+10FFFF, cut); *used bytes taken.
inline long ShimUtf8Point(const BYTE *bytes, int left, int *used) {
    BYTE first = bytes[0];
    int length = first < 0x80                    ? 1
                 : first >= 0xC2 && first < 0xE0 ? 2
                 : first >= 0xE0 && first < 0xF0 ? 3
                 : first >= 0xF0 && first < 0xF5 ? 4
                                                 : 0;
    *used = 1;
    if (!length)
        return -1;
    long point = length == 1 ? first : first & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) {
        if (i >= left || (bytes[i] & 0xC0) != 0x80)
            return -1;
        point = point << 6 | (bytes[i] & 0x3F);
        *used = i + 1;
    }
    static const long lowest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < lowest[length] || point > 0x10FFFF || (point >= 0xD800 && point < 0xE000))
        return -1;
    return point;
}

// CP_UTF8 as Windows decodes it, every other code page as one byte a
// character (Latin-1), which is what a single-byte ANSI code page gives.
inline int MultiByteToWideChar(UINT codePage, DWORD flags, const char *text, int count, WCHAR *out,
                               int room) {
    if (!text || count == 0 || room < 0) {
        SetLastError(87);
        return 0;
    }
    if (count < 0)
        count = (int)strlen(text) + 1;
    const BYTE *bytes = (const BYTE *)text;
    int units = 0;
    for (int at = 0; at < count;) {
        WCHAR put[2];
        int width = 1, used = 1;
        if (codePage != CP_UTF8) {
            put[0] = bytes[at];
        } else {
            long point = ShimUtf8Point(bytes + at, count - at, &used);
            if (point < 0) {
                if (flags & MB_ERR_INVALID_CHARS) {
                    SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                    return 0;
                }
                point = 0xFFFD;
            }
            if (point >= 0x10000) {
                put[0] = (WCHAR)(0xD800 + ((point - 0x10000) >> 10));
                put[1] = (WCHAR)(0xDC00 + ((point - 0x10000) & 0x3FF));
                width = 2;
            } else {
                put[0] = (WCHAR)point;
            }
        }
        if (room) {
            if (units + width > room) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            memcpy(out + units, put, width * sizeof(WCHAR));
        }
        units += width;
        at += used;
    }
    return units;
}

// wsprintfW for the one conversion the callers use, %d.
inline int wsprintfW(WCHAR *out, const WCHAR *format, ...) {
    if (wcscmp(format, L"%d") != 0)
        abort();
    va_list args;
    va_start(args, format);
    char digits[16];
    int length = snprintf(digits, sizeof digits, "%d", va_arg(args, int));
    va_end(args);
    for (int i = 0; i <= length; ++i)
        out[i] = (WCHAR)digits[i];
    return length;
}

// Files: a few paths, each holding bytes the harness gives.
#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 1
#define FILE_SHARE_WRITE 2
#define FILE_SHARE_DELETE 4
#define OPEN_EXISTING 3
#define FILE_ATTRIBUTE_READONLY 0x01
#define FILE_ATTRIBUTE_NORMAL 0x80
#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

struct ShimFile {
    WCHAR Path[64];
    const BYTE *Bytes;
    size_t Size;
    size_t Position; // of the one handle a path may have open
    int Open;
};
inline ShimFile *ShimFiles() {
    static ShimFile files[4];
    return files;
}
inline ShimFile *ShimFindFile(const WCHAR *path) {
    for (int i = 0; i < 4; ++i)
        if (ShimFiles()[i].Bytes && wcscmp(ShimFiles()[i].Path, path) == 0)
            return &ShimFiles()[i];
    return NULL;
}
// bytes stay the caller's; NULL removes the file.
inline void ShimPutFile(const WCHAR *path, const void *bytes, size_t size) {
    ShimFile *file = ShimFindFile(path);
    for (int i = 0; !file && i < 4; ++i)
        if (!ShimFiles()[i].Bytes)
            file = &ShimFiles()[i];
    if (!file || wcslen(path) >= 64)
        abort();
    wcscpy(file->Path, path);
    file->Bytes = bytes ? (const BYTE *)bytes : NULL;
    file->Size = size;
}

inline HANDLE CreateFileW(const WCHAR *path, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD,
                          HANDLE) {
    ShimFile *file = path ? ShimFindFile(path) : NULL;
    if (!file) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    file->Position = 0;
    file->Open = 1;
    return file;
}
inline BOOL CloseHandle(HANDLE handle) {
    ShimFile *file = (ShimFile *)handle;
    if (!file || file == INVALID_HANDLE_VALUE || !file->Open)
        abort(); // a handle closed twice or never opened
    file->Open = 0;
    return TRUE;
}
inline DWORD GetFileAttributesW(const WCHAR *path) {
    return ShimFindFile(path) ? FILE_ATTRIBUTE_NORMAL : INVALID_FILE_ATTRIBUTES;
}
inline DWORD GetFileSize(HANDLE handle, DWORD *high) {
    ShimFile *file = (ShimFile *)handle;
    if (high)
        *high = (DWORD)((uint64_t)file->Size >> 32);
    SetLastError(NO_ERROR);
    return (DWORD)file->Size;
}
inline BOOL GetFileSizeEx(HANDLE handle, LARGE_INTEGER *size) {
    size->QuadPart = (LONGLONG)((ShimFile *)handle)->Size;
    return TRUE;
}
// With an OVERLAPPED on a handle opened without FILE_FLAG_OVERLAPPED, the
// read is at its offset and waits, as a plain read does.
inline BOOL ReadFile(HANDLE handle, void *buffer, DWORD count, DWORD *got, OVERLAPPED *at) {
    ShimFile *file = (ShimFile *)handle;
    if (!file || !file->Open)
        abort();
    size_t from = at ? ((size_t)at->OffsetHigh << 32 | at->Offset) : file->Position;
    size_t left = from < file->Size ? file->Size - from : 0;
    size_t take = count < left ? count : left;
    memcpy(buffer, file->Bytes + from, take);
    *got = (DWORD)take;
    if (!at)
        file->Position = from + take;
    if (at && !take && count) {
        SetLastError(ERROR_HANDLE_EOF);
        return FALSE;
    }
    return TRUE;
}

// Settings: the text a harness gives stands for every key's value.
inline const WCHAR *&ShimProfileValue() {
    static const WCHAR *value;
    return value;
}
// Copies at most size - 1 units and ends them, as Windows does.
inline DWORD GetPrivateProfileStringW(const WCHAR *, const WCHAR *, const WCHAR *fallback,
                                      WCHAR *out, DWORD size, const WCHAR *) {
    const WCHAR *value = ShimProfileValue() ? ShimProfileValue() : fallback;
    if (!size)
        return 0;
    DWORD length = (DWORD)wcslen(value);
    if (length > size - 1)
        length = size - 1;
    memcpy(out, value, length * sizeof(WCHAR));
    out[length] = 0;
    return length;
}

// Settings are only read: nothing is written.
inline BOOL WritePrivateProfileStringW(const WCHAR *, const WCHAR *, const WCHAR *, const WCHAR *) {
    return FALSE;
}

// The process: the player's module in a folder of its own; what the start-up
// options ask of the process is not done.
#define WM_COMMAND 0x0111
#define IDLE_PRIORITY_CLASS 0x40
#define NORMAL_PRIORITY_CLASS 0x20
#define HIGH_PRIORITY_CLASS 0x80
inline DWORD GetModuleFileNameW(HMODULE, WCHAR *path, DWORD size) {
    const WCHAR own[] = L"C:\\Tonquil\\tonquil.exe";
    DWORD length = (DWORD)(sizeof own / sizeof own[0]) - 1;
    if (size <= length)
        return 0;
    memcpy(path, own, sizeof own);
    return length;
}
inline HANDLE GetCurrentProcess() {
    return (HANDLE)(LONG_PTR)-1;
}
inline BOOL SetPriorityClass(HANDLE, DWORD) {
    return TRUE;
}
inline BOOL SetProcessWorkingSetSize(HANDLE, SIZE_T, SIZE_T) {
    return TRUE;
}
inline BOOL PostMessageW(HWND, UINT, WPARAM, LPARAM) {
    return TRUE;
}

// The PE headers of an x64 image (this build stands for the x64 one).
#define _WIN64 1
#define IMAGE_DOS_SIGNATURE 0x5A4D
#define IMAGE_NT_SIGNATURE 0x00004550
#define IMAGE_FILE_MACHINE_I386 0x014c
#define IMAGE_FILE_MACHINE_AMD64 0x8664
#define IMAGE_FILE_DLL 0x2000
#define IMAGE_NT_OPTIONAL_HDR_MAGIC 0x20b
#define IMAGE_NUMBEROF_DIRECTORY_ENTRIES 16
#define IMAGE_DIRECTORY_ENTRY_EXPORT 0
#define IMAGE_SIZEOF_SHORT_NAME 8

typedef struct _IMAGE_DOS_HEADER {
    WORD e_magic, e_cblp, e_cp, e_crlc, e_cparhdr, e_minalloc, e_maxalloc, e_ss, e_sp, e_csum, e_ip,
        e_cs, e_lfarlc, e_ovno, e_res[4], e_oemid, e_oeminfo, e_res2[10];
    LONG e_lfanew;
} IMAGE_DOS_HEADER;
typedef struct _IMAGE_FILE_HEADER {
    WORD Machine, NumberOfSections;
    DWORD TimeDateStamp, PointerToSymbolTable, NumberOfSymbols;
    WORD SizeOfOptionalHeader, Characteristics;
} IMAGE_FILE_HEADER;
typedef struct _IMAGE_DATA_DIRECTORY {
    DWORD VirtualAddress, Size;
} IMAGE_DATA_DIRECTORY;
typedef struct _IMAGE_OPTIONAL_HEADER64 {
    WORD Magic;
    BYTE MajorLinkerVersion, MinorLinkerVersion;
    DWORD SizeOfCode, SizeOfInitializedData, SizeOfUninitializedData, AddressOfEntryPoint,
        BaseOfCode;
    ULONGLONG ImageBase;
    DWORD SectionAlignment, FileAlignment;
    WORD MajorOperatingSystemVersion, MinorOperatingSystemVersion, MajorImageVersion,
        MinorImageVersion, MajorSubsystemVersion, MinorSubsystemVersion;
    DWORD Win32VersionValue, SizeOfImage, SizeOfHeaders, CheckSum;
    WORD Subsystem, DllCharacteristics;
    ULONGLONG SizeOfStackReserve, SizeOfStackCommit, SizeOfHeapReserve, SizeOfHeapCommit;
    DWORD LoaderFlags, NumberOfRvaAndSizes;
    IMAGE_DATA_DIRECTORY DataDirectory[IMAGE_NUMBEROF_DIRECTORY_ENTRIES];
} IMAGE_OPTIONAL_HEADER64;
typedef struct _IMAGE_NT_HEADERS64 {
    DWORD Signature;
    IMAGE_FILE_HEADER FileHeader;
    IMAGE_OPTIONAL_HEADER64 OptionalHeader;
} IMAGE_NT_HEADERS;
typedef struct _IMAGE_SECTION_HEADER {
    BYTE Name[IMAGE_SIZEOF_SHORT_NAME];
    DWORD VirtualSize, VirtualAddress, SizeOfRawData, PointerToRawData, PointerToRelocations,
        PointerToLinenumbers;
    WORD NumberOfRelocations, NumberOfLinenumbers;
    DWORD Characteristics;
} IMAGE_SECTION_HEADER;
typedef struct _IMAGE_EXPORT_DIRECTORY {
    DWORD Characteristics, TimeDateStamp;
    WORD MajorVersion, MinorVersion;
    DWORD Name, Base, NumberOfFunctions, NumberOfNames, AddressOfFunctions, AddressOfNames,
        AddressOfNameOrdinals;
} IMAGE_EXPORT_DIRECTORY;
static_assert(sizeof(IMAGE_DOS_HEADER) == 64 && sizeof(IMAGE_NT_HEADERS) == 264 &&
                  sizeof(IMAGE_SECTION_HEADER) == 40 && sizeof(IMAGE_EXPORT_DIRECTORY) == 40,
              "the sizes winnt.h gives");

#endif
