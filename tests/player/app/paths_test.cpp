#include <gtest/gtest.h>

#include "player/core/paths.h"

#include <string>

static std::wstring Extension(const wchar_t *path) {
    wchar_t buffer[MAX_PATH];
    lstrcpynW(buffer, path, MAX_PATH);
    GetFileExtension(buffer);
    return buffer;
}

static std::wstring Folder(const wchar_t *path) {
    wchar_t buffer[MAX_PATH];
    lstrcpynW(buffer, path, MAX_PATH);
    CutAfterLastBackslash(buffer);
    return buffer;
}

TEST(Paths, ExtensionIsTakenFromTheLastDotOfTheWholePath) {
    EXPECT_EQ(L".mp3", Extension(L"C:\\m\\a.mp3"));
    EXPECT_EQ(L".flac", Extension(L"C:\\m\\a.b.flac"));
    EXPECT_EQ(L".b\\song", Extension(L"C:\\a.b\\song"));
    EXPECT_EQ(L"C:\\m\\song", Extension(L"C:\\m\\song"));
    EXPECT_EQ(L".", Extension(L"C:\\m\\song."));
    EXPECT_EQ(L"", Extension(L""));
}

TEST(Paths, CutAfterLastBackslashKeepsTheBackslash) {
    EXPECT_EQ(L"C:\\m\\", Folder(L"C:\\m\\a.mp3"));
    EXPECT_EQ(L"a.mp3", Folder(L"a.mp3"));
    EXPECT_EQ(L"\\", Folder(L"\\"));
    EXPECT_EQ(L"C:\\m\\", Folder(L"C:\\m\\"));
}

TEST(Paths, BaseNameIsTheTextAfterTheLastBackslash) {
    EXPECT_STREQ(L"a.mp3", GetBaseName(L"C:\\m\\a.mp3"));
    EXPECT_STREQ(L"a.mp3", GetBaseName(L"a.mp3"));
    EXPECT_STREQ(L"", GetBaseName(L"C:\\m\\"));
    EXPECT_STREQ(L"c/d.mp3", GetBaseName(L"a\\b\\c/d.mp3"));
}

TEST(Paths, ModulePathIsRefusedWhenItDoesNotFit) {
    wchar_t path[MAX_PATH];
    ASSERT_EQ(1, BuildModulePath(L"tonquil.ini", path));
    std::wstring built = path;
    EXPECT_EQ(L"\\tonquil.ini", built.substr(built.size() - 12));

    std::wstring longName(MAX_PATH, L'x');
    EXPECT_EQ(0, BuildModulePath(longName.c_str(), path));
    EXPECT_STREQ(L"", path);
}
