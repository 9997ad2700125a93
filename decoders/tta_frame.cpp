#include "decoders/tta_frame.h"

#include <string.h>

namespace {

#define MAX_CHANNELS 8
#define RICE_START 10
// Past this the Rice parameter of even a 24-bit stream does not grow; it
// bounds the bits one code takes from a damaged frame.
#define MAX_RICE 28

// Bits are read from the least significant end of each byte on. Reads past
// the end give zeros, which ends any unary run; the frame's decoder checks
// afterwards that no bit past the end was used.
struct BitReader {
    const uint8_t *Bytes;
    size_t Size;
    uint64_t Cache;
    unsigned Count;
    size_t Next;
};

void Fill(BitReader *bits) {
    while (bits->Count <= 56) {
        uint64_t byte = bits->Next < bits->Size ? bits->Bytes[bits->Next] : 0;
        ++bits->Next;
        bits->Cache |= byte << bits->Count;
        bits->Count += 8;
    }
}

// Drops count bits (up to all 64) from the cache.
void Drop(BitReader *bits, unsigned count) {
    bits->Cache = count < 64 ? bits->Cache >> count : 0;
    bits->Count -= count;
}

uint32_t TakeBits(BitReader *bits, unsigned count) {
    Fill(bits);
    uint32_t value = (uint32_t)(bits->Cache & ((1ull << count) - 1));
    Drop(bits, count);
    return value;
}

// The number of one bits before the next zero bit.
uint32_t TakeUnary(BitReader *bits) {
    uint32_t ones = 0;
    for (;;) {
        Fill(bits);
        uint64_t run = ~bits->Cache;
        unsigned length = 0;
        while (length < bits->Count && !((run >> length) & 1))
            ++length;
        ones += length;
        Drop(bits, length);
        if (bits->Count) {
            Drop(bits, 1);
            return ones;
        }
    }
}

struct Rice {
    uint32_t K0, K1;
    uint32_t Sum0, Sum1;
};

// The hybrid filter's eight taps; all arithmetic wraps as 32-bit integers do.
struct Filter {
    int Shift;
    int32_t Error;
    int32_t Qm[8], Dx[8], Dl[8];
};

struct Channel {
    Rice Code;
    Filter Taps;
    int32_t Previous;
};

uint64_t Threshold(uint32_t k) {
    return 1ull << (k + 4);
}

void Adapt(uint32_t *k, uint32_t *sum, uint32_t value) {
    *sum += value - (*sum >> 4);
    if (*k > 0 && *sum < Threshold(*k))
        --*k;
    else if (*k<MAX_RICE && * sum> Threshold(*k + 1))
        ++*k;
}

int32_t TakeResidual(BitReader *bits, Rice *code) {
    uint32_t unary = TakeUnary(bits);
    bool second = unary > 0;
    uint32_t k = second ? code->K1 : code->K0;
    if (second)
        --unary;
    uint32_t value = (unary << k) + (k ? TakeBits(bits, k) : 0);
    if (second) {
        Adapt(&code->K1, &code->Sum1, value);
        value += 1u << code->K0;
    }
    Adapt(&code->K0, &code->Sum0, value);
    // Odd values are positive, even ones negative.
    return (value & 1) ? (int32_t)((value >> 1) + 1) : -(int32_t)(value >> 1);
}

int32_t Wrap(int64_t value) {
    return (int32_t)(uint32_t)(uint64_t)value;
}

int32_t RunFilter(Filter *f, int32_t in) {
    for (int i = 0; i < 8; ++i)
        f->Qm[i] = Wrap((int64_t)f->Qm[i] + (f->Error < 0   ? -f->Dx[i]
                                             : f->Error > 0 ? f->Dx[i]
                                                            : 0));
    uint32_t sum = 1u << (f->Shift - 1);
    for (int i = 0; i < 8; ++i)
        sum += (uint32_t)f->Dl[i] * (uint32_t)f->Qm[i];
    memmove(f->Dx, f->Dx + 1, 4 * sizeof f->Dx[0]);
    memmove(f->Dl, f->Dl + 1, 4 * sizeof f->Dl[0]);
    f->Dx[4] = (f->Dl[4] >> 30) | 1;
    f->Dx[5] = ((f->Dl[5] >> 30) | 2) & ~1;
    f->Dx[6] = ((f->Dl[6] >> 30) | 2) & ~1;
    f->Dx[7] = ((f->Dl[7] >> 30) | 4) & ~3;
    f->Error = in;
    int32_t out = Wrap((int64_t)in + ((int32_t)sum >> f->Shift));
    f->Dl[4] = -f->Dl[5];
    f->Dl[5] = -f->Dl[6];
    f->Dl[6] = Wrap((int64_t)out - f->Dl[7]);
    f->Dl[7] = out;
    f->Dl[5] = Wrap((int64_t)f->Dl[5] + f->Dl[6]);
    f->Dl[4] = Wrap((int64_t)f->Dl[4] + f->Dl[5]);
    return out;
}

// The fixed first-order predictor: x * (2^k - 1) / 2^k of the last sample.
int32_t Predict(int32_t previous, unsigned bytesPerSample) {
    int shift = bytesPerSample == 1 ? 4 : 5;
    return Wrap(((int64_t)previous * ((1 << shift) - 1)) >> shift);
}

void StartChannel(Channel *channel, unsigned bytesPerSample) {
    static const int Shifts[] = {10, 9, 10};
    memset(channel, 0, sizeof *channel);
    channel->Code.K0 = channel->Code.K1 = RICE_START;
    channel->Code.Sum0 = channel->Code.Sum1 = (uint32_t)Threshold(RICE_START);
    channel->Taps.Shift = Shifts[bytesPerSample - 1];
}

// The last channel carries the mean, the others differences.
void Decorrelate(int32_t *frame, unsigned channels) {
    int32_t *last = frame + channels - 1;
    *last = Wrap((int64_t)*last + last[-1] / 2);
    for (int32_t *at = last - 1; at >= frame; --at)
        *at = Wrap((int64_t)at[1] - *at);
}

} // namespace

bool DecodeTtaFrame(const uint8_t *bytes, size_t size, unsigned channels, unsigned bytesPerSample,
                    unsigned frames, int32_t *samples) {
    if (channels < 1 || channels > MAX_CHANNELS || bytesPerSample < 1 || bytesPerSample > 3)
        return false;
    Channel state[MAX_CHANNELS];
    for (unsigned c = 0; c < channels; ++c)
        StartChannel(&state[c], bytesPerSample);
    BitReader bits = {bytes, size, 0, 0, 0};
    for (unsigned i = 0; i < frames; ++i) {
        int32_t *frame = samples + (size_t)i * channels;
        for (unsigned c = 0; c < channels; ++c) {
            int32_t value = RunFilter(&state[c].Taps, TakeResidual(&bits, &state[c].Code));
            value = Wrap((int64_t)value + Predict(state[c].Previous, bytesPerSample));
            state[c].Previous = value;
            frame[c] = value;
        }
        if (channels > 1)
            Decorrelate(frame, channels);
    }
    return bits.Next * 8 - bits.Count <= (uint64_t)size * 8;
}
