// The release package as a user unpacks it: its name, the files it holds and
// the version block of every binary in it.
#include <windows.h>
#include <gtest/gtest.h>

#include "test_support.h"
#include "tonquil_version.h"

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::wstring Unpacked() {
    return TestFolder() + L"unpacked\\";
}

// The one folder the zip holds, named as the package.
std::wstring PackageName() {
    char line[MAX_PATH] = {};
    FILE *file = _wfopen((Unpacked() + L"package-name.txt").c_str(), L"rb");
    if (file) {
        if (!fgets(line, sizeof line, file))
            line[0] = 0;
        fclose(file);
    }
    std::string name(line);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
        name.pop_back();
    return std::wstring(name.begin(), name.end());
}

std::vector<std::wstring> FilesIn(const std::wstring &folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring VersionValue(const std::wstring &file, const wchar_t *name) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(file.c_str(), &handle);
    std::vector<BYTE> block(size ? size : 1);
    void *value = NULL;
    UINT length = 0;
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    if (!size || !GetFileVersionInfoW(file.c_str(), 0, size, block.data()) ||
        !VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value)
        return L"(missing)";
    return (const wchar_t *)value;
}

} // namespace

TEST(Package, HoldsTheBinariesTheNoticesAndAReadmeEachWithItsVersion) {
    std::wstring expectedName = std::wstring(L"Tonquil-") + TONQUIL_VERSION_DOTS +
                                (sizeof(void *) == 8 ? L"-win64" : L"-win32");
    std::wstring name = PackageName();
    EXPECT_EQ(expectedName + L".zip", name);
    std::wstring folder = Unpacked() + expectedName + L"\\";
    std::vector<std::wstring> expected = {
        L"FFmpeg-LICENSE.txt", L"FFmpeg-NOTICE.txt", L"LICENSE.txt",
        L"README.txt",         L"bass.dll",          L"bass_formats.dll",
        L"tonquil.dll",        L"tonquil.exe",       L"tonquil_media.dll"};
    EXPECT_EQ(expected, FilesIn(folder));

    for (const wchar_t *binary :
         {L"tonquil.exe", L"tonquil.dll", L"bass.dll", L"tonquil_media.dll", L"bass_formats.dll"}) {
        std::wstring file = folder + binary;
        EXPECT_EQ(L"" TONQUIL_VERSION_COMMAS, VersionValue(file, L"FileVersion")) << binary;
        EXPECT_EQ(binary, VersionValue(file, L"OriginalFilename")) << binary;
    }
}
