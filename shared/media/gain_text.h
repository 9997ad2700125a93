// ReplayGain values as tags write them, read strictly: a decimal number, in
// dB for gains with or without the unit, and refused when malformed, not
// finite or beyond what any track needs.
#ifndef TONQUIL_MEDIA_GAIN_TEXT_H
#define TONQUIL_MEDIA_GAIN_TEXT_H

// "-6.48 dB", "+2.1", "3 db": true with the gain when within +-64 dB.
bool ParseGainText(const char *text, float *gain);
// "0.988553": true with the peak when above 0 and at most 64 (full scale 1).
bool ParsePeakText(const char *text, float *peak);
// Opus's R128_TRACK_GAIN and R128_ALBUM_GAIN: a whole number of 1/256 dB
// against -23 LUFS, given as a ReplayGain gain (5 dB louder reference).
bool ParseR128GainText(const char *text, float *gain);

#endif
