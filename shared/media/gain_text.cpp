#include "media/gain_text.h"

#include <math.h>

#include "tonquil_decoder_plugin.h"

namespace {

const double R128_TO_REPLAYGAIN_DB = 5;

void SkipSpaces(const char **text) {
    while (**text == ' ' || **text == '\t')
        ++*text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A signed decimal without exponent, read without the C locale's help (a
// comma decimal point there must not change what a tag means).
bool ReadDecimal(const char **text, double *value, bool fraction) {
    const char *at = *text;
    double sign = 1;
    if (*at == '+' || *at == '-')
        sign = *at++ == '-' ? -1 : 1;
    double number = 0;
    int digits = 0;
    for (; IsDigit(*at) && digits < 32; ++at, ++digits)
        number = number * 10 + (*at - '0');
    if (fraction && *at == '.') {
        double scale = 1;
        for (++at; IsDigit(*at) && digits < 32; ++at, ++digits)
            number += (*at - '0') * (scale /= 10);
    }
    if (digits == 0 || IsDigit(*at))
        return false;
    *value = sign * number;
    *text = at;
    return true;
}

bool AtEnd(const char *text) {
    SkipSpaces(&text);
    return *text == 0;
}

void SkipDecibels(const char **text) {
    SkipSpaces(text);
    const char *at = *text;
    if ((at[0] == 'd' || at[0] == 'D') && (at[1] == 'b' || at[1] == 'B'))
        *text = at + 2;
}

// The whole text is one finite decimal between spaces, with or without a
// fraction, followed by "dB" where decibels may stand.
bool ReadWholeDecimal(const char *text, bool fraction, bool decibels, double *value) {
    if (!text)
        return false;
    SkipSpaces(&text);
    if (!ReadDecimal(&text, value, fraction))
        return false;
    if (decibels)
        SkipDecibels(&text);
    return AtEnd(text) && isfinite(*value);
}

} // namespace

bool ParseGainText(const char *text, float *gain) {
    double value;
    if (!ReadWholeDecimal(text, true, true, &value) || fabs(value) > TQ_MAX_GAIN_DB)
        return false;
    *gain = (float)value;
    return true;
}

bool ParsePeakText(const char *text, float *peak) {
    double value;
    if (!ReadWholeDecimal(text, true, false, &value) || value <= 0 || value > TQ_MAX_PEAK)
        return false;
    *peak = (float)value;
    return true;
}

bool ParseR128GainText(const char *text, float *gain) {
    double value;
    if (!ReadWholeDecimal(text, false, false, &value) || value < -32768 || value > 32767)
        return false;
    *gain = (float)(value / 256 + R128_TO_REPLAYGAIN_DB);
    return true;
}
