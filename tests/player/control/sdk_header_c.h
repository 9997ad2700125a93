/* The TRACKENTRY layout as C code sees it, for comparison with C++. */
#ifndef TONQUIL_TESTS_CONTROL_SDK_HEADER_C_H
#define TONQUIL_TESTS_CONTROL_SDK_HEADER_C_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

void TrackEntryLayoutInC(size_t *size, size_t offsets[10]);

#ifdef __cplusplus
}
#endif

#endif
