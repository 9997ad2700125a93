// What the built tonquil.exe carries: the version block and the manifest.
#include <gtest/gtest.h>

#include "test_support.h"
#include "tonquil_version.h"

#include <string>
#include <vector>

namespace {

std::wstring VersionString(const std::vector<BYTE> &block, const wchar_t *name) {
    std::wstring query = std::wstring(L"\\StringFileInfo\\041104b0\\") + name;
    void *value = NULL;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || !value)
        return L"(missing)";
    return (const wchar_t *)value;
}

} // namespace

TEST(Executable, CarriesTheJapaneseVersionBlock) {
    std::wstring exe = BinFolder() + L"tonquil.exe";
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

    for (const wchar_t *name : {L"Comments", L"FileDescription", L"InternalName", L"ProductName"})
        EXPECT_EQ(L"Tonquil", VersionString(block, name)) << name;
    EXPECT_EQ(L"" TONQUIL_VERSION_COMMAS, VersionString(block, L"FileVersion"));
    EXPECT_EQ(L"0,0,0,0", VersionString(block, L"ProductVersion"));
    EXPECT_EQ(L"tonquil.exe", VersionString(block, L"OriginalFilename"));
    EXPECT_NE(L"(missing)", VersionString(block, L"LegalCopyright"));

    DWORD *translation = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", (void **)&translation,
                               &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(0x0411u, LOWORD(*translation));
    EXPECT_EQ(1200u, HIWORD(*translation));
}

TEST(Executable, CarriesAManifestAskingForCommonControlsSix) {
    std::wstring exe = BinFolder() + L"tonquil.exe";
    HMODULE image = LoadLibraryExW(exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, image);
    HRSRC found = FindResourceW(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(nullptr, found);
    const char *text = (const char *)LockResource(LoadResource(image, found));
    std::string manifest(text, SizeofResource(image, found));
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    EXPECT_NE(nullptr, FindResourceW(image, L"MAINMENU", MAKEINTRESOURCEW(4)));
    EXPECT_NE(nullptr, FindResourceW(image, L"MAINICON", MAKEINTRESOURCEW(14)));
    FreeLibrary(image);
}
