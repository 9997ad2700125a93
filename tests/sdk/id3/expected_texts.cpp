#include "expected_texts.h"

#include "test_support.h"

#include <windows.h>
#include <sstream>

namespace {

// As make-files.sh names the files under taggers/.
const char *const Taggers[] = {"eyed3-v2.3", "eyed3-v2.4",  "kid3-cli",    "id3v2",
                               "mid3v2",     "ffmpeg-v2.3", "ffmpeg-v2.4", "lame"};

std::wstring FilesFolder() {
    return FromUnixPath(TONQUIL_ID3_FILES_UNIX);
}

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

std::vector<EXPECTEDTEXTS> ReadExpectedTexts(const char *list) {
    std::vector<EXPECTEDTEXTS> files;
    std::istringstream lines(ReadBytes(FilesFolder() + Convert(CP_UTF8, list)));
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
        files.push_back({FilesFolder() + Convert(CP_UTF8, path), Text(titleKind, title),
                         Text(artistKind, artist)});
    }
    return files;
}

std::vector<EXPECTEDTEXTS> TaggerFiles() {
    std::vector<EXPECTEDTEXTS> listed = ReadExpectedTexts("taggers.expected"), files;
    for (const char *tagger : Taggers) {
        EXPECTEDTEXTS file = {FilesFolder() + L"taggers\\" + Convert(CP_UTF8, tagger) + L".mp3",
                              std::nullopt, std::nullopt};
        for (const EXPECTEDTEXTS &line : listed)
            if (line.Path == file.Path)
                file = line;
        files.push_back(file);
    }
    return files;
}

bool HoldsLongTitleAndWideArtist(const EXPECTEDTEXTS &file) {
    if (!file.Title || file.Title->size() <= 30 || !file.Artist)
        return false;
    for (wchar_t c : *file.Artist)
        if (c > 0x7F)
            return true;
    return false;
}
