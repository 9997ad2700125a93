#include "expected_texts.h"

#include "test_support.h"

#include <windows.h>
#include <sstream>

namespace {

std::string FromHex(const std::string &hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += (char)std::stoi(hex.substr(i, 2), nullptr, 16);
    return bytes;
}

std::wstring Convert(UINT codePage, const std::string &bytes) {
    std::wstring text(bytes.size(), L'\0');
    int length = MultiByteToWideChar(codePage, 0, bytes.data(), (int)bytes.size(), &text[0],
                                     (int)text.size());
    text.resize(length > 0 ? length : 0);
    return text;
}

std::optional<std::wstring> Text(const std::string &kind, const std::string &hex) {
    if (kind == "-")
        return std::nullopt;
    return Convert(kind == "a" ? CP_ACP : CP_UTF8, FromHex(hex));
}

} // namespace

std::vector<EXPECTEDTEXTS> ReadExpectedTexts(const std::wstring &folder, const char *list) {
    std::vector<EXPECTEDTEXTS> files;
    std::istringstream lines(ReadBytes(folder + Convert(CP_UTF8, list)));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string path, titleKind, title, artistKind, artist;
        std::getline(fields, path, '\t');
        std::getline(fields, titleKind, '\t');
        std::getline(fields, title, '\t');
        std::getline(fields, artistKind, '\t');
        std::getline(fields, artist, '\t');
        for (char &c : path)
            if (c == '/')
                c = '\\';
        files.push_back(
            {folder + Convert(CP_UTF8, path), Text(titleKind, title), Text(artistKind, artist)});
    }
    return files;
}
