// Ogg pages read straight from the source: what the Vorbis decoder needs to
// know before it decodes, the stream's serial number and its exact length.
#ifndef TONQUIL_ENGINE_OGG_PAGES_H
#define TONQUIL_ENGINE_OGG_PAGES_H

#include "engine/bass.h"

#include <vector>

#define OGG_PAGE_HEADER_SIZE 27

// The serial number of the page at the start of the source, or false when
// the source does not start with an Ogg page.
bool FirstOggSerial(const TQSOURCE *source, DWORD *serial);
// The granule position of the last intact page of the stream with that serial:
// for Vorbis, the number of frames the whole stream holds. False when no
// such page lies near the end.
bool LastOggGranule(const TQSOURCE *source, DWORD serial, ULONGLONG *granule);

// Packet number index (0 the first) of the stream that starts the source,
// put together from the pages at the start; false when it is not whole
// within the first limit bytes or a page on the way is damaged.
bool ReadOggPacket(const TQSOURCE *source, int index, DWORD limit, std::vector<BYTE> *packet);

#endif
