#include "player/core/window_contract.h"

int TeardownStarted;
