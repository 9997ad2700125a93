// Ogg pages read straight from the source: what the Vorbis decoder needs to
// know before it decodes, the stream's serial number and its exact length.
#ifndef TONQUIL_ENGINE_OGG_PAGES_H
#define TONQUIL_ENGINE_OGG_PAGES_H

#include "engine/bass.h"

#define OGG_PAGE_HEADER_SIZE 27

// The serial number of the page at the start of the source, or false when
// the source does not start with an Ogg page.
bool FirstOggSerial(const TQSOURCE *source, DWORD *serial);
// The granule position of the last intact page of the stream with that serial:
// for Vorbis, the number of frames the whole stream holds. False when no
// such page lies near the end.
bool LastOggGranule(const TQSOURCE *source, DWORD serial, ULONGLONG *granule);

#endif
