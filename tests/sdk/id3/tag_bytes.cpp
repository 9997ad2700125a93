#include "tag_bytes.h"

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int value : values)
        bytes += (char)value;
    return bytes;
}

std::string Syncsafe(DWORD value) {
    return Bytes({(int)(value >> 21) & 0x7F, (int)(value >> 14) & 0x7F, (int)(value >> 7) & 0x7F,
                  (int)value & 0x7F});
}

std::string Plain(DWORD value) {
    return Bytes({(int)(value >> 24) & 0xFF, (int)(value >> 16) & 0xFF, (int)(value >> 8) & 0xFF,
                  (int)value & 0xFF});
}

std::string FrameSized(const char *id, const std::string &size, const std::string &data,
                       BYTE formatFlags) {
    return std::string(id, 4) + size + Bytes({0, formatFlags}) + data;
}

std::string Frame(const char *id, const std::string &data) {
    return FrameSized(id, Syncsafe((DWORD)data.size()), data);
}

std::string Frame22(const char *id, const std::string &data) {
    return std::string(id, 3) + Plain((DWORD)data.size()).substr(1) + data;
}

std::string Tag(const std::string &area, BYTE version, BYTE flags) {
    return "ID3" + Bytes({version, 0, flags}) + Syncsafe((DWORD)area.size()) + area;
}

std::string Id3v1(const std::string &title, const std::string &artist) {
    std::string tag = "TAG";
    tag += title.substr(0, 30) + std::string(30 - title.substr(0, 30).size(), '\0');
    tag += artist.substr(0, 30) + std::string(30 - artist.substr(0, 30).size(), '\0');
    tag.resize(128, '\0');
    return tag;
}

std::optional<std::wstring> Take(WCHAR *text) {
    if (!text)
        return std::nullopt;
    std::wstring copy(text);
    HeapFree(GetProcessHeap(), 0, text);
    return copy;
}
