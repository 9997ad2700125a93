#include "engine/streams/output_pool.h"

#include <algorithm>

#include "media/no_throw.h"

namespace {

#define IDLE_CLOSE_MS 1000
// A device reports a buffer done a little before its end is heard: closing it
// sooner cuts that off.
#define LINGER_MS 100

Output *OpenOn(UINT device, DWORD rate, DWORD channels, bool asFloat) {
    return OpenOutput(device, rate, channels, asFloat, Engine.Thread->Wake);
}

Output *OpenFirstThatTakes(DWORD rate, DWORD channels, bool asFloat) {
    Output *output = OpenOn(Engine.Device, rate, channels, asFloat);
    if (!output && asFloat)
        output = OpenOn(Engine.Device, rate, channels, false);
    // A device that takes neither format still lets the stream run its course.
    if (!output)
        output = OpenOn(OUTPUT_SILENT, rate, channels, false);
    return output;
}

Output *FindFree(DWORD rate, DWORD channels, bool asFloat) {
    for (Output *output : Engine.Outputs)
        if (!output->Fed && OutputMatches(output, rate, channels, asFloat))
            return output;
    return NULL;
}

DWORD IdleMs(const Output *output) {
    return output->Idle ? GetTickCount() - output->IdleSince : 0;
}

// Idle is noted by the engine's thread, which wakes again once the linger is over.
bool TailPlaying() {
    for (Output *output : Engine.Outputs)
        if (!output->Fed && IdleMs(output) < LINGER_MS)
            return true;
    return false;
}

// Unfed outputs of other formats are closed first: many devices play one
// format at a time, and the new stream should not wait for the idle close.
void DropUnfed() {
    for (size_t i = Engine.Outputs.size(); i-- > 0;)
        if (!Engine.Outputs[i]->Fed)
            DropOutput(Engine.Outputs[i]);
}

} // namespace

bool TakeOutput(DWORD rate, DWORD channels, bool asFloat, Output **taken) {
    *taken = NULL;
    Output *output = FindFree(rate, channels, asFloat);
    if (!output) {
        if (TailPlaying())
            return true;
        DropUnfed();
        output = OpenFirstThatTakes(rate, channels, asFloat);
        if (!output || !NoThrow(false, [&] {
                Engine.Outputs.push_back(output);
                return true;
            })) {
            CloseOutput(output);
            return false;
        }
        output->Serial = NewHandle();
    }
    output->Fed = true;
    output->Idle = false;
    output->Padded = false;
    *taken = output;
    return true;
}

void ReleaseOutput(Output *output) {
    output->Fed = false;
}

Output *FindOutput(DWORD serial) {
    for (Output *output : Engine.Outputs)
        if (output->Serial == serial)
            return output;
    return NULL;
}

void DropOutput(Output *output) {
    Engine.Outputs.erase(std::find(Engine.Outputs.begin(), Engine.Outputs.end(), output));
    CloseOutput(output);
    // Streams whose tail it held notice on the thread's next pass.
    WakeEngine();
}

void DropAllOutputs() {
    while (!Engine.Outputs.empty())
        DropOutput(Engine.Outputs.back());
}

Output *FindLostOutput() {
    for (Output *output : Engine.Outputs)
        if (OutputLost(output))
            return output;
    return NULL;
}

void AbandonOutput(Output *output) {
    Engine.Outputs.erase(std::find(Engine.Outputs.begin(), Engine.Outputs.end(), output));
    CloseOutputElsewhere(output);
    WakeEngine();
}

// Once nobody feeds an output and it has run dry, it plays one buffer of
// silence: a sound system that holds back a last partial period until more
// comes (Wine's PulseAudio driver does) then lets the sound's end out before
// the output closes. Its idle time starts after that.
DWORD ServiceOutputs() {
    DWORD wait = INFINITE;
    for (size_t i = Engine.Outputs.size(); i-- > 0;) {
        Output *output = Engine.Outputs[i];
        if (!output->Fed && !output->Padded && OutputPlayedAll(output)) {
            QueueSilence(output);
            output->Padded = true;
        }
        wait = std::min(wait, OutputWaitMs(output));
        if (output->Fed || !OutputPlayedAll(output)) {
            output->Idle = false;
            continue;
        }
        if (!output->Idle) {
            output->Idle = true;
            output->IdleSince = GetTickCount();
        }
        DWORD idle = IdleMs(output);
        if (idle >= IDLE_CLOSE_MS)
            DropOutput(output);
        else
            wait = std::min(wait, (idle < LINGER_MS ? LINGER_MS : IDLE_CLOSE_MS) - idle);
    }
    return wait;
}
