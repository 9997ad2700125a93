#include "app/window_contract.h"

int TeardownStarted;
