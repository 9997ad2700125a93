// Identifiers of the player's resources.
#ifndef TONQUIL_PLAYER_RES_RESOURCE_H
#define TONQUIL_PLAYER_RES_RESOURCE_H

#include "tonquil_extension.h"

#endif
