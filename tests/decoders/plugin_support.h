// The decoder plug-in as the format tests reach it: bass_formats.dll loaded
// from build/bin, its version 2 entry point called as the engine calls it.
#ifndef TONQUIL_TESTS_PLUGIN_SUPPORT_H
#define TONQUIL_TESTS_PLUGIN_SUPPORT_H

#include "engine/bass.h"

// Opens through the plug-in with the whole decoder; FALSE when it is missing.
BOOL CALLBACK OpenThroughPlugin(const TQSOURCE *source, TQDECODER *decoder);

#endif
