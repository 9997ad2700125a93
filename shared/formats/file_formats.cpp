#include "formats/file_formats.h"

#include <iterator>

namespace {

// The .rc file filter of the window module and the FFmpeg configure line
// cannot read this table: a test holds them to it.
const FileFormat Formats[] = {
    {L".flac", "flac", MEDIA_PLUGIN},
    {L".ape", "ape", MEDIA_PLUGIN},
    {L".wv", "wv", MEDIA_PLUGIN},
    {L".tta", "tta", MEDIA_PLUGIN},
    {L".tak", "tak", MEDIA_PLUGIN},
    {L".wav", "wav", MEDIA_ENGINE},
    {L".fla", "flac", MEDIA_PLUGIN},
    {L".m4a", "mov,mp4,m4a,3gp,3g2,mj2", MEDIA_PLUGIN},
    {L".mp4", "mov,mp4,m4a,3gp,3g2,mj2", MEDIA_PLUGIN},
    {L".ogg", "ogg", MEDIA_ENGINE},
    {L".opus", "ogg", MEDIA_PLUGIN},
    {L".mp3", "mp3", MEDIA_ENGINE},
    {L".wma", "asf", MEDIA_PLUGIN},
    {L".aac", "aac", MEDIA_PLUGIN},
    {L".mp2", "mp3", MEDIA_ENGINE},
    {L".mp1", "mp3", MEDIA_ENGINE},
};

} // namespace

const FileFormat *FileFormatAt(int index) {
    return index >= 0 && index < (int)std::size(Formats) ? &Formats[index] : NULL;
}

const FileFormat *FindFileFormat(const WCHAR *extension) {
    for (const FileFormat &format : Formats)
        if (lstrcmpW(extension, format.Extension) == 0)
            return &format;
    return NULL;
}
