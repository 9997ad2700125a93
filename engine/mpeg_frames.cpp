#include "engine/mpeg_frames.h"

#include <string.h>

namespace {

#define READ_WINDOW 65536
#define WINDOW_OVERLAP 4096 // more than the largest frame

// kbit/s by [MPEG 1 or not][layer - 1][index]; index 0 (free format) and 15 are refused.
const WORD Bitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}}};

const DWORD Rates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};

DWORD ReadBig(const BYTE *bytes) {
    return ((DWORD)bytes[0] << 24) | ((DWORD)bytes[1] << 16) | ((DWORD)bytes[2] << 8) | bytes[3];
}

#define XING_FRAMES 1
#define XING_BYTES 2
#define XING_TOC 4
#define XING_QUALITY 8
#define LAME_DELAY_OFFSET 21

// Where the Xing/Info header sits: after the header, the CRC and the side information.
DWORD XingOffset(const MpegHeader &header) {
    bool mono = header.Channels == 1;
    DWORD side = header.Version == MPEG_VERSION_1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    return MPEG_HEADER_SIZE + (header.Protected ? 2 : 0) + side;
}

} // namespace

bool ParseMpegHeader(const BYTE *bytes, MpegHeader *header) {
    if (bytes[0] != 0xFF || (bytes[1] & 0xE0) != 0xE0)
        return false;
    int versionBits = (bytes[1] >> 3) & 3;
    int layerBits = (bytes[1] >> 1) & 3;
    int bitrateIndex = bytes[2] >> 4;
    int rateIndex = (bytes[2] >> 2) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || (bytes[3] & 3) == 2)
        return false;
    header->Version =
        versionBits == 3 ? MPEG_VERSION_1 : (versionBits == 2 ? MPEG_VERSION_2 : MPEG_VERSION_25);
    header->Layer = 4 - layerBits;
    header->Bitrate =
        Bitrates[header->Version == MPEG_VERSION_1 ? 0 : 1][header->Layer - 1][bitrateIndex] *
        1000u;
    header->Rate = Rates[header->Version][rateIndex];
    header->Protected = (bytes[1] & 1) == 0;
    header->Padded = ((bytes[2] >> 1) & 1) != 0;
    header->Mode = bytes[3] >> 6;
    header->ModeExtension = (bytes[3] >> 4) & 3;
    header->Copyright = ((bytes[3] >> 3) & 1) != 0;
    header->Original = ((bytes[3] >> 2) & 1) != 0;
    header->Emphasis = bytes[3] & 3;
    header->Channels = header->Mode == 3 ? 1 : 2;
    DWORD pad = header->Padded ? 1 : 0;
    if (header->Layer == 1) {
        header->FrameBytes = (12 * header->Bitrate / header->Rate + pad) * 4;
        header->Samples = 384;
    } else if (header->Layer == 2 || header->Version == MPEG_VERSION_1) {
        header->FrameBytes = 144 * header->Bitrate / header->Rate + pad;
        header->Samples = 1152;
    } else {
        header->FrameBytes = 72 * header->Bitrate / header->Rate + pad;
        header->Samples = 576;
    }
    return true;
}

bool SameMpegStream(const MpegHeader &a, const MpegHeader &b) {
    return a.Version == b.Version && a.Layer == b.Layer && a.Rate == b.Rate &&
           a.Channels == b.Channels;
}

void StartMpegReader(MpegReader *reader, const TQSOURCE *source, DWORD end) {
    reader->Source = source;
    reader->End = end;
    reader->WindowStart = 0;
    reader->Window.clear();
}

const BYTE *PeekMpeg(MpegReader *reader, DWORD offset, DWORD count) {
    if (offset > reader->End || count > reader->End - offset)
        return NULL;
    if (offset < reader->WindowStart || offset - reader->WindowStart > reader->Window.size() ||
        count > reader->Window.size() - (offset - reader->WindowStart)) {
        // The new window keeps a little of what lies before offset: the search
        // looks one frame ahead and must not bounce between two windows.
        DWORD start = offset > WINDOW_OVERLAP ? offset - WINDOW_OVERLAP : 0;
        DWORD want = (offset - start) + (count > READ_WINDOW ? count : READ_WINDOW);
        if (want > reader->End - start)
            want = reader->End - start;
        reader->Window.resize(want);
        DWORD got =
            reader->Source->Read(reader->Source->Context, start, reader->Window.data(), want);
        reader->Window.resize(got);
        reader->WindowStart = start;
        if (got < (offset - start) + count)
            return NULL;
    }
    return reader->Window.data() + (offset - reader->WindowStart);
}

bool FindMpegFrame(MpegReader *reader, DWORD *offset, DWORD limit, const MpegHeader *stream,
                   MpegHeader *found) {
    if (*offset >= reader->End)
        return false;
    DWORD last = reader->End - *offset < limit ? reader->End : *offset + limit;
    for (DWORD at = *offset; at < last; ++at) {
        const BYTE *bytes = PeekMpeg(reader, at, MPEG_HEADER_SIZE);
        MpegHeader header;
        if (!bytes)
            return false;
        if (!ParseMpegHeader(bytes, &header) || (stream && !SameMpegStream(header, *stream)) ||
            header.FrameBytes > reader->End - at)
            continue;
        DWORD next = at + header.FrameBytes;
        const BYTE *following = PeekMpeg(reader, next, MPEG_HEADER_SIZE);
        MpegHeader second;
        if (next == reader->End ||
            (following && ParseMpegHeader(following, &second) && SameMpegStream(header, second))) {
            *offset = at;
            *found = header;
            return true;
        }
    }
    return false;
}

MpegGapless ReadMpegGapless(const BYTE *frame, const MpegHeader &header) {
    MpegGapless gapless = {};
    DWORD at = XingOffset(header);
    if (header.Layer != 3 || at + 8 > header.FrameBytes ||
        (memcmp(frame + at, "Xing", 4) != 0 && memcmp(frame + at, "Info", 4) != 0))
        return gapless;
    gapless.Info = true;
    DWORD flags = ReadBig(frame + at + 4);
    at += 8;
    if (flags & XING_FRAMES) {
        if (at + 4 > header.FrameBytes)
            return gapless;
        gapless.AudioFrames = ReadBig(frame + at);
        at += 4;
    }
    at += (flags & XING_BYTES ? 4 : 0) + (flags & XING_TOC ? 100 : 0) +
          (flags & XING_QUALITY ? 4 : 0);
    if (at + LAME_DELAY_OFFSET + 3 > header.FrameBytes ||
        (memcmp(frame + at, "LAME", 4) != 0 && memcmp(frame + at, "Lavc", 4) != 0 &&
         memcmp(frame + at, "Lavf", 4) != 0))
        return gapless;
    const BYTE *delay = frame + at + LAME_DELAY_OFFSET;
    gapless.HasDelay = true;
    gapless.Delay = ((DWORD)delay[0] << 4) | (delay[1] >> 4);
    gapless.Padding = ((DWORD)(delay[1] & 0x0F) << 8) | delay[2];
    return gapless;
}
