// Builders of ID3 tag bytes for the tests, and the taking of the texts the
// reader gives.
#ifndef TONQUIL_TESTS_SDK_ID3_TAG_BYTES_H
#define TONQUIL_TESTS_SDK_ID3_TAG_BYTES_H

#include <windows.h>
#include <initializer_list>
#include <optional>
#include <string>

std::string Bytes(std::initializer_list<int> values);
// Four bytes of seven bits each, the highest first.
std::string Syncsafe(DWORD value);
// Four bytes of a plain 32-bit number, the highest first.
std::string Plain(DWORD value);
// A frame header with the given four size bytes and second flag byte, then
// the data.
std::string FrameSized(const char *id, const std::string &size, const std::string &data,
                       BYTE formatFlags = 0);
// A frame whose size is its data's length. data[0] is the text encoding.
std::string Frame(const char *id, const std::string &data);
// A version 2 frame: three-letter id, three size bytes, no flags.
std::string Frame22(const char *id, const std::string &data);
// The 10-byte header whose size is the area's length, then the area.
std::string Tag(const std::string &area, BYTE version = 3, BYTE flags = 0);
// A 128-byte ID3v1 tag; the fields are cut at 30 bytes and zero-padded.
std::string Id3v1(const std::string &title, const std::string &artist);

// The text the reader gave, freed; nullopt for none.
std::optional<std::wstring> Take(WCHAR *text);

#endif
