// The ID3 test files make-files.sh writes at build time, and what Mutagen
// read from them (expected-texts.py says the lists' format).
#ifndef TONQUIL_TESTS_SDK_ID3_EXPECTED_TEXTS_H
#define TONQUIL_TESTS_SDK_ID3_EXPECTED_TEXTS_H

#include <optional>
#include <string>
#include <vector>

struct EXPECTEDTEXTS {
    std::wstring Path; // the file, in the files' folder
    std::optional<std::wstring> Title, Artist;
};

// The lines of a list in the files' folder ("taglib.expected"), single-byte
// texts taken in the system's ANSI code page as the player takes them.
std::vector<EXPECTEDTEXTS> ReadExpectedTexts(const char *list);
// One file per tagger that make-files.sh runs, always in the same order; a
// file Mutagen found no title in has neither text.
std::vector<EXPECTEDTEXTS> TaggerFiles();
// Whether the tagger wrote what make-files.sh asks of each: a title longer
// than ID3v1's 30 bytes, so that only the ID3v2 tag holds it whole, and an
// artist beyond ASCII.
bool HoldsLongTitleAndWideArtist(const EXPECTEDTEXTS &file);

#endif
