// What Mutagen read from the ID3 test files, as make-files.sh writes it
// (expected-texts.py says the format).
#ifndef TONQUIL_TESTS_SDK_ID3_EXPECTED_TEXTS_H
#define TONQUIL_TESTS_SDK_ID3_EXPECTED_TEXTS_H

#include <optional>
#include <string>
#include <vector>

struct EXPECTEDTEXTS {
    std::wstring Path; // the file, in the list's folder
    std::optional<std::wstring> Title, Artist;
};

// The lines of the list, single-byte texts taken in the system's ANSI code
// page as the player takes them.
std::vector<EXPECTEDTEXTS> ReadExpectedTexts(const std::wstring &folder, const char *list);

#endif
