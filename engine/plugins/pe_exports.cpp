#include "engine/plugins/pe_exports.h"

#include "engine/bass.h"
#include "media/source.h"

#include <string.h>

namespace {

// A damaged file must not make the search walk a huge table.
#define MAX_SECTIONS 96
#define MAX_NAMES 65536

// Only a DLL built for this process's own machine can be loaded into it.
#ifdef _WIN64
#define OWN_MACHINE IMAGE_FILE_MACHINE_AMD64
#else
#define OWN_MACHINE IMAGE_FILE_MACHINE_I386
#endif

struct PeImage {
    const TQSOURCE *File;
    IMAGE_SECTION_HEADER Sections[MAX_SECTIONS];
    WORD SectionCount;
};

// The file offset of a relative virtual address, or false when no section holds it.
bool FileOffset(const PeImage &image, DWORD rva, DWORD *offset) {
    for (WORD i = 0; i < image.SectionCount; ++i) {
        const IMAGE_SECTION_HEADER &section = image.Sections[i];
        DWORD size = section.SizeOfRawData;
        if (rva >= section.VirtualAddress && rva - section.VirtualAddress < size) {
            *offset = section.PointerToRawData + (rva - section.VirtualAddress);
            return true;
        }
    }
    return false;
}

bool ReadAtRva(const PeImage &image, DWORD rva, void *buffer, DWORD count) {
    DWORD offset;
    return FileOffset(image, rva, &offset) && ReadExactly(image.File, offset, buffer, count);
}

bool ReadExportDirectory(const TQSOURCE *file, PeImage *image, IMAGE_EXPORT_DIRECTORY *exports) {
    IMAGE_DOS_HEADER dos;
    if (!ReadExactly(file, 0, &dos, sizeof dos) || dos.e_magic != IMAGE_DOS_SIGNATURE)
        return false;
    IMAGE_NT_HEADERS nt;
    DWORD at = (DWORD)dos.e_lfanew;
    if (!ReadExactly(file, at, &nt, sizeof nt) || nt.Signature != IMAGE_NT_SIGNATURE ||
        nt.FileHeader.Machine != OWN_MACHINE || !(nt.FileHeader.Characteristics & IMAGE_FILE_DLL) ||
        nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR_MAGIC ||
        nt.OptionalHeader.NumberOfRvaAndSizes <= IMAGE_DIRECTORY_ENTRY_EXPORT ||
        nt.FileHeader.NumberOfSections > MAX_SECTIONS)
        return false;
    image->SectionCount = nt.FileHeader.NumberOfSections;
    DWORD sections = at + 4 + sizeof(IMAGE_FILE_HEADER) + nt.FileHeader.SizeOfOptionalHeader;
    if (sections < at || !ReadExactly(file, sections, image->Sections,
                                      image->SectionCount * (DWORD)sizeof(IMAGE_SECTION_HEADER)))
        return false;
    DWORD rva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT].VirtualAddress;
    return rva && ReadAtRva(*image, rva, exports, sizeof *exports);
}

// Orders name against the export name at rva as strcmp does; a name outside
// every section counts as larger, and the search moves on.
int CompareName(const PeImage &image, DWORD rva, const char *name) {
    char found[64] = {};
    DWORD offset;
    if (!FileOffset(image, rva, &offset))
        return -1;
    image.File->Read(image.File->Context, offset, found, sizeof found - 1);
    return strcmp(name, found);
}

} // namespace

bool DllExportsName(const WCHAR *path, const char *name) {
    TQSOURCE file;
    if (!OpenFileSource(path, 0, 0, &file))
        return false;
    PeImage image = {};
    image.File = &file;
    IMAGE_EXPORT_DIRECTORY exports;
    bool found = false;
    // The names are sorted, as the loader's own look-up relies on.
    if (ReadExportDirectory(&file, &image, &exports) && exports.NumberOfNames <= MAX_NAMES) {
        DWORD low = 0, high = exports.NumberOfNames;
        while (low < high && !found) {
            DWORD middle = low + (high - low) / 2;
            DWORD nameRva;
            if (!ReadAtRva(image, exports.AddressOfNames + middle * 4, &nameRva, sizeof nameRva))
                break;
            int order = CompareName(image, nameRva, name);
            found = order == 0;
            if (order < 0)
                high = middle;
            else
                low = middle + 1;
        }
    }
    CloseSource(&file);
    return found;
}
