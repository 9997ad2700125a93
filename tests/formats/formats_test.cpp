// Every list of formats outside the table names what the table does: the
// window module's open dialog offers each extension (and cue sheets) and no
// other, and FFmpeg is configured with the demuxer of every format.
#include <gtest/gtest.h>

#include "formats/file_formats.h"
#include "test_support.h"

#include <algorithm>
#include <set>
#include <string>

namespace {

std::string Narrow(const WCHAR *text) {
    std::string narrow;
    for (; *text; ++text)
        narrow += (char)*text;
    return narrow;
}

std::string FilterPattern(const FileFormat &format) {
    return "*" + Narrow(format.Extension);
}

// FFmpeg configures a demuxer under the first of the names its iformat has.
std::string ConfiguredDemuxer(const FileFormat &format) {
    std::string names = format.Demuxer;
    return names.substr(0, names.find(','));
}

struct Listing {
    const char *File;   // from the source tree's root
    const char *Anchor; // the list starts after the first Opening past this
    const char *Opening;
    const char *Ends; // any of these characters ends the list
    char Separator;
    std::string (*Entry)(const FileFormat &format);
    const char *Extra; // an entry the list has beyond the formats, or NULL
    bool OnlyFormats;  // false: the list may name more than the table's
};

const Listing Listings[] = {
    {"extension/window/tonquil_window.rc", "IDS_OPEN_FILTER", "|", "|", ';', FilterPattern, "*.cue",
     true},
    {"scripts/build-ffmpeg.sh", "options=(", "--enable-demuxer=", " \n", ',', ConfiguredDemuxer,
     NULL, false},
};

// The list's entries, empty when its anchor or opening is missing.
std::set<std::string> EntriesOf(const std::string &text, const Listing &listing) {
    std::set<std::string> entries;
    size_t anchor = text.find(listing.Anchor);
    if (anchor == std::string::npos)
        return entries;
    size_t start = text.find(listing.Opening, anchor);
    if (start == std::string::npos)
        return entries;
    start += strlen(listing.Opening);
    size_t end = std::min(text.find_first_of(listing.Ends, start), text.size());
    std::string list = text.substr(start, end - start);
    for (size_t at = 0; at <= list.size();) {
        size_t next = std::min(list.find(listing.Separator, at), list.size());
        if (next > at)
            entries.insert(list.substr(at, next - at));
        at = next + 1;
    }
    return entries;
}

} // namespace

TEST(Formats, EveryListOutsideTheTableNamesItsFormats) {
    std::wstring root = FromUnixPath(TONQUIL_SOURCE_DIR_UNIX);
    for (const Listing &listing : Listings) {
        SCOPED_TRACE(listing.File);
        std::wstring file(listing.File, listing.File + strlen(listing.File));
        std::replace(file.begin(), file.end(), L'/', L'\\');
        std::set<std::string> entries = EntriesOf(ReadBytes(root + file), listing);
        ASSERT_FALSE(entries.empty());
        std::set<std::string> wanted;
        for (int i = 0; FileFormatAt(i); ++i)
            wanted.insert(listing.Entry(*FileFormatAt(i)));
        if (listing.Extra)
            wanted.insert(listing.Extra);
        for (const std::string &entry : wanted)
            EXPECT_EQ(1u, entries.count(entry)) << entry << " is missing";
        for (const std::string &entry : entries)
            if (listing.OnlyFormats) {
                EXPECT_EQ(1u, wanted.count(entry)) << entry << " is no format of the table";
            }
    }
}

// The playlist matches extensions in their exact case, one table row each.
TEST(Formats, EachExtensionIsFoundAsItselfAndNothingElse) {
    std::set<std::wstring> seen;
    for (int i = 0; FileFormatAt(i); ++i) {
        const FileFormat *format = FileFormatAt(i);
        SCOPED_TRACE(Narrow(format->Extension));
        EXPECT_TRUE(seen.insert(format->Extension).second);
        EXPECT_EQ(format, FindFileFormat(format->Extension));
        std::wstring upper = format->Extension;
        std::transform(upper.begin(), upper.end(), upper.begin(), towupper);
        EXPECT_EQ(nullptr, FindFileFormat(upper.c_str()));
        EXPECT_EQ(nullptr, FindFileFormat((std::wstring(format->Extension) + L"x").c_str()));
        EXPECT_EQ(nullptr, FindFileFormat(format->Extension + 1));
    }
    EXPECT_EQ(nullptr, FileFormatAt(-1));
    EXPECT_EQ(nullptr, FileFormatAt((int)seen.size()));
    EXPECT_EQ(nullptr, FindFileFormat(L""));
    EXPECT_EQ(nullptr, FindFileFormat(L".cue"));
}
