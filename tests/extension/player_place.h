// Answers to the track-position and option messages (length, position,
// resume, ReplayGain), given in front of the player's own window procedure,
// so that a test states exactly what the player reports; and the record of
// what the module asked of it with the matching set messages. Every other
// message goes on to the player.
#ifndef TONQUIL_TESTS_EXTENSION_PLAYER_PLACE_H
#define TONQUIL_TESTS_EXTENSION_PLAYER_PLACE_H

#include <windows.h>

#include <vector>

struct PlayerPlace {
    LONG length = 0;
    LONG position = 0;
    LONG resume = 0;
    LONG gain = 0;
};

struct SentMessage {
    UINT message;
    WPARAM value;
    bool operator==(const SentMessage &other) const {
        return message == other.message && value == other.value;
    }
};

// Puts the answers in front of player; StopAnswering takes them away.
void AnswerPlace(HWND player);
void StopAnswering(HWND player);
PlayerPlace &Place();
// The set messages since the last call, which empties the record.
std::vector<SentMessage> TakeSent();

#endif
