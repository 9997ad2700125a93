// The file formats Tonquil plays: each extension the playlist accepts, the
// FFmpeg demuxer that reads files of that format, and who decodes them, the
// engine by itself or the decoder plug-in. A file's content still decides how
// it is decoded; the name decides only whether the player offers it at all
// and whether the plug-in is freed before it starts.
#ifndef TONQUIL_FORMATS_FILE_FORMATS_H
#define TONQUIL_FORMATS_FILE_FORMATS_H

#include <windows.h>

enum MediaSide { MEDIA_ENGINE, MEDIA_PLUGIN };

struct FileFormat {
    const WCHAR *Extension; // with its dot, in lower case
    const char *Demuxer;    // FFmpeg's name of the demuxer, as its iformat names it
    MediaSide Side;
};

// The formats in the order a cue sheet's missing file is looked for, lossless
// images first; NULL past the last.
const FileFormat *FileFormatAt(int index);

// The format of this extension (with its dot, matched in its exact case), NULL
// for one Tonquil does not play.
const FileFormat *FindFileFormat(const WCHAR *extension);

#endif
