// MPEG audio frames (layers 1 to 3, MPEG 1, 2 and 2.5): their headers, the
// search for them in a file, and the Xing/Info/LAME header that states the
// encoder delay and padding.
#ifndef TONQUIL_ENGINE_MPEG_FRAMES_H
#define TONQUIL_ENGINE_MPEG_FRAMES_H

#include "engine/bass.h"

#include <vector>

#define MPEG_HEADER_SIZE 4
#define MPEG_VERSION_1 0
#define MPEG_VERSION_2 1
#define MPEG_VERSION_25 2

struct MpegHeader {
    int Version; // MPEG_VERSION_*
    int Layer;   // 1 to 3
    DWORD Bitrate;
    DWORD Rate;
    DWORD Channels;
    DWORD Mode; // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    DWORD ModeExtension;
    DWORD Emphasis;
    bool Protected; // a CRC follows the header
    bool Padded;
    bool Copyright;
    bool Original;
    DWORD FrameBytes;
    DWORD Samples; // frames of PCM the frame decodes to
};

// False for anything that is not a frame header this engine can decode (free
// format and reserved values included).
bool ParseMpegHeader(const BYTE *bytes, MpegHeader *header);
// Frames of one stream share these; a header that differs is junk.
bool SameMpegStream(const MpegHeader &a, const MpegHeader &b);

// Reads a source forward through a window, so the frame search touches the
// file in large reads.
struct MpegReader {
    const TQSOURCE *Source;
    DWORD End; // where the audio ends: before an ID3v1 tag
    DWORD WindowStart;
    std::vector<BYTE> Window;
};

void StartMpegReader(MpegReader *reader, const TQSOURCE *source, DWORD end);
// A pointer to count bytes at offset, or NULL when they are not all there.
const BYTE *PeekMpeg(MpegReader *reader, DWORD offset, DWORD count);

// The next frame at or after *offset that belongs to the stream (stream NULL:
// any frame that a second matching frame or the end of the data confirms),
// searching at most limit bytes. Sets *offset to it; false when none.
bool FindMpegFrame(MpegReader *reader, DWORD *offset, DWORD limit, const MpegHeader *stream,
                   MpegHeader *found);

struct MpegGapless {
    bool Info;         // the frame is an Xing/Info header, not audio
    bool HasDelay;     // a LAME extension states delay and padding
    DWORD Delay;       // encoder delay in PCM frames
    DWORD Padding;     // encoder padding in PCM frames
    DWORD AudioFrames; // frames the header counts (0 when it does not say)
};

// Reads the Xing/Info header and its LAME extension from the first frame.
MpegGapless ReadMpegGapless(const BYTE *frame, const MpegHeader &header);

#endif
