#include "engine/streams/replay_gain.h"

#include <math.h>

namespace {

bool UsableGain(const TQDECODER *decoder, DWORD flag, float gain) {
    return (decoder->GainFlags & flag) && isfinite(gain) && fabsf(gain) <= TQ_MAX_GAIN_DB;
}

bool UsablePeak(const TQDECODER *decoder, DWORD flag, float peak) {
    return (decoder->GainFlags & flag) && isfinite(peak) && peak > 0.0f && peak <= TQ_MAX_PEAK;
}

} // namespace

float ReplayGainFactor(const TQDECODER *decoder, DWORD mode) {
    float gain, peak = 0.0f;
    if (mode == BASS_TQ_REPLAYGAIN_ALBUM &&
        UsableGain(decoder, TQ_GAIN_ALBUM, decoder->AlbumGain)) {
        gain = decoder->AlbumGain;
        if (UsablePeak(decoder, TQ_PEAK_ALBUM, decoder->AlbumPeak))
            peak = decoder->AlbumPeak;
    } else if (mode != BASS_TQ_REPLAYGAIN_OFF &&
               UsableGain(decoder, TQ_GAIN_TRACK, decoder->TrackGain)) {
        gain = decoder->TrackGain;
    } else {
        return 1.0f;
    }
    // The track's peak bounds the track's samples under either gain.
    if (peak == 0.0f && UsablePeak(decoder, TQ_PEAK_TRACK, decoder->TrackPeak))
        peak = decoder->TrackPeak;
    float factor = powf(10.0f, gain / 20.0f);
    float limit = peak > 0.0f ? 1.0f / peak : 1.0f;
    return factor < limit ? factor : limit;
}
