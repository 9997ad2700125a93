// ReplayGain texts as tags hold them: every value taken is finite and within
// the bounds the readers promise.
#include "media/gain_text.h"

#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::string text((const char *)data, size);
    float value = 0;
    if (ParseGainText(text.c_str(), &value) && !(fabsf(value) <= 64))
        abort();
    if (ParsePeakText(text.c_str(), &value) && !(value > 0 && value <= 64))
        abort();
    if (ParseR128GainText(text.c_str(), &value) && !isfinite(value))
        abort();
    return 0;
}
